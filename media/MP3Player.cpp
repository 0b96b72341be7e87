#include "media/MP3Player.h"

#include <cstdio>

#include "media/SoundSystem.h"

MP3Player::MP3Player(const char* name) : fileName(name ? name : "") {
  stream = FSOUND_Stream_OpenFile(fileName.c_str(), FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0);
  if (!stream) {
    // The designed text names no file: standard error says which.
    const int error = FSOUND_GetError();
    std::fprintf(stderr, "MP3Player: cannot open music '%s'\n", fileName.c_str());
    SoundSystemFatal(SoundErrorText(error));
  }
}

MP3Player::~MP3Player() { FSOUND_Stream_Close(stream); }

void MP3Player::play(std::int32_t startOffsetMs) {
  if (playing) return;
  FSOUND_Stream_SetTime(stream, startOffsetMs);
  channel = FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 1);
  FSOUND_SetPaused(channel, 0);
  playing = true;
}

void MP3Player::setVolume(std::int32_t volume) {
  if (playing) FSOUND_SetVolume(channel, volume);
}

void MP3Player::stop() {
  if (!playing) return;
  FSOUND_StopSound(channel);
  playing = false;
}
