#include "platform/d3dx/StbImage.h"

// GCC's late flow analysis misreads stb_image's format conversion after inlining
// (a known false positive), wherever the inlined code ends up in this file.
// Clang has no such warning and would warn about its name.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif

#include <climits>
#include <cstring>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace d3dx {

static_assert(STBI_MAX_DIMENSIONS == kMaxPictureSide);

bool DecodeWithStbImage(const std::uint8_t* data, std::size_t size, Picture* picture) {
  if (size > static_cast<std::size_t>(INT_MAX)) {
    return false;
  }
  int width = 0;
  int height = 0;
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 0),
      stbi_image_free);
  if (!pixels || channels < 1 || channels > 4 ||
      !PictureSizeAcceptable(static_cast<std::uint64_t>(width),
                             static_cast<std::uint64_t>(height))) {
    return false;
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * height * channels;
  picture->width = static_cast<std::uint32_t>(width);
  picture->height = static_cast<std::uint32_t>(height);
  picture->channels = static_cast<std::uint32_t>(channels);
  picture->pixels.assign(pixels.get(), pixels.get() + bytes);
  return true;
}

}  // namespace d3dx
