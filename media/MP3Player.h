// One piece of streamed MP3 music in a slot: opened when loaded, started at an
// offset, stopped, and given a volume by the script.
#pragma once

#include <cstdint>
#include <string>

class MP3Player {
 public:
  explicit MP3Player(const char* fileName);
  ~MP3Player();
  MP3Player(const MP3Player&) = delete;
  MP3Player& operator=(const MP3Player&) = delete;

  void play(std::int32_t startOffsetMs);
  void setVolume(std::int32_t volume);
  void stop();

 private:
  std::string fileName;
  bool playing = false;
};
