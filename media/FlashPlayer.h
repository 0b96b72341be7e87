// One Flash movie in a slot, loaded into the movie control and configured by
// the script. Nothing draws it.
#pragma once

#include <cstdint>

struct IDirect3DDevice9;

class FlashPlayer {
 public:
  FlashPlayer(IDirect3DDevice9* device, std::uint32_t width, std::uint32_t height,
              const char* fileName);
  virtual ~FlashPlayer();
  FlashPlayer(const FlashPlayer&) = delete;
  FlashPlayer& operator=(const FlashPlayer&) = delete;

  void setQuality(std::int32_t value);
  void setMode(std::int32_t value);

 private:
  std::uint32_t width;
  std::uint32_t height;
  IDirect3DDevice9* device;  // not owned
};
