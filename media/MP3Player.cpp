#include "media/MP3Player.h"

#include "platform/os/oshost.h"

// This build has no sound library yet: loading music is reported instead of
// playing silently, so a show author knows why the music is missing.
MP3Player::MP3Player(const char* name) : fileName(name ? name : "") {
  OsFatal("MP3Player Error", "Music is not available in this build: " + fileName, 0);
}

MP3Player::~MP3Player() = default;
void MP3Player::play(std::int32_t) { playing = true; }
void MP3Player::setVolume(std::int32_t) {}
void MP3Player::stop() { playing = false; }
