// Decoded pictures as the decoders hand them over: plain 8-bit channels in memory,
// independent of any device. The decoders (one per file format) fill these; the
// surface and texture loaders convert them into Direct3D pixel formats.
// Not here: pixel format conversion, scaling, anything that touches a device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace d3dx {

// The file formats the decoders recognise.
enum class PictureFileKind { Bmp, Jpeg, Tga, Png };

// How the file stores its pixels, as far as it matters for the reported format.
enum class PictureLayout {
  Grey,       // one luminance channel
  GreyAlpha,  // luminance and alpha
  Rgb,        // colour without alpha
  Rgba,       // colour with alpha
  Palette,    // indices into a colour table (decoded to Rgb or Rgba)
};

struct PictureHeader {
  std::uint32_t width = 0;   // pixels
  std::uint32_t height = 0;  // pixels
  PictureLayout layout = PictureLayout::Rgb;
  PictureFileKind kind = PictureFileKind::Png;
};

// Rows top to bottom, tightly packed (width * channels bytes each). Channel order
// per pixel: L; L, A; R, G, B; or R, G, B, A.
struct Picture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t channels = 0;  // 1, 2, 3 or 4
  std::vector<std::uint8_t> pixels;

  const std::uint8_t* row(std::uint32_t y) const {
    return pixels.data() + static_cast<std::size_t>(y) * width * channels;
  }
};

// Largest picture accepted, so that a lying header cannot ask for a huge buffer:
// 16384 pixels a side and at most 64 Mi pixels in all.
constexpr std::uint32_t kMaxPictureSide = 16384;
constexpr std::uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;

inline bool PictureSizeAcceptable(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace d3dx
