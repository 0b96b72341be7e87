// One piece of streamed MP3 music in a music slot: its stream is opened when the
// player is made (the file read whole from disk or archive through the sound
// library's callbacks) and closed when it is destroyed; play starts it at an
// offset on a channel the library picks, stop stops it, setVolume sets the
// channel's volume (0 to 255) while it plays. A file that cannot be opened ends
// the process under "MP3Player Error" (the file named on standard error). Frame-loop thread; the sound system must
// be started (StartSoundSystem) for the player's whole life.
#pragma once

#include <cstdint>
#include <string>

#include "platform/fsound/fmod.h"

class MP3Player {
 public:
  explicit MP3Player(const char* fileName);
  // Closes the stream; does not stop it first (the script player does).
  ~MP3Player();
  MP3Player(const MP3Player&) = delete;
  MP3Player& operator=(const MP3Player&) = delete;

  // Nothing when already playing.
  void play(std::int32_t startOffsetMs);
  // Only while playing; not remembered for a later start.
  void setVolume(std::int32_t volume);
  void stop();

  std::string fileName;
  bool playing = false;
  FSOUND_STREAM* stream = nullptr;  // owned by the library until the destructor closes it
  int channel = 0;                  // meaningful only while playing
};
