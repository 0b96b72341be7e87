#include "media/FlashPlayer.h"

#include <string>

#include "platform/os/oshost.h"

// This build has no movie control yet: loading a movie is reported.
FlashPlayer::FlashPlayer(IDirect3DDevice9* device, std::uint32_t width, std::uint32_t height,
                         const char* fileName)
    : width(width), height(height), device(device) {
  OsFatal("Error", std::string("Flash movies are not available in this build: ") +
                       (fileName ? fileName : ""),
          0);
}

FlashPlayer::~FlashPlayer() = default;
void FlashPlayer::setQuality(std::int32_t) {}
void FlashPlayer::setMode(std::int32_t) {}
