#include "media/ImageBlitter.h"

#include <string>

#include "platform/os/oshost.h"

// This build cannot show pictures yet: loading one is reported.
ImageBlitter::ImageBlitter(IDirect3DDevice9*, const char* fileName, std::uint32_t, std::uint32_t,
                           bool, std::uint32_t) {
  OsFatal("Error", std::string("Pictures are not available in this build: ") +
                       (fileName ? fileName : ""),
          0);
}

ImageBlitter::~ImageBlitter() = default;
void ImageBlitter::draw(float) {}
