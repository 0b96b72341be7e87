#include "platform/d3dx/ArgbImage.h"

#include <bit>
#include <cstring>

namespace d3dx {
namespace {

// Direct3D formats are defined as little-endian DWORDs (A8R8G8B8: bytes B, G, R, A).
static_assert(std::endian::native == std::endian::little);

constexpr std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// Rec. 709 weights in fixed point; they sum to exactly 1, so grey stays grey.
std::uint8_t Luminance(std::uint32_t argb) {
  const std::uint32_t r = (argb >> 16) & 0xFF;
  const std::uint32_t g = (argb >> 8) & 0xFF;
  const std::uint32_t b = argb & 0xFF;
  return static_cast<std::uint8_t>((2125 * r + 7154 * g + 721 * b + 5000) / 10000);
}

}  // namespace

bool IsConvertibleFormat(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_L8 ||
         format == D3DFMT_A8L8;
}

UINT BytesPerPixel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_A8L8:
      return 2;
    default:
      return 1;
  }
}

ArgbImage PictureToArgb(const Picture& picture, const RECT& rect, D3DCOLOR colorKey) {
  ArgbImage image;
  image.width = static_cast<UINT>(rect.right - rect.left);
  image.height = static_cast<UINT>(rect.bottom - rect.top);
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  const std::uint32_t channels = picture.channels;
  std::uint32_t* out = image.pixels.data();
  for (UINT y = 0; y < image.height; ++y) {
    const std::uint8_t* p = picture.row(static_cast<std::uint32_t>(rect.top) + y) +
                            static_cast<std::size_t>(rect.left) * channels;
    for (UINT x = 0; x < image.width; ++x, p += channels) {
      std::uint32_t argb;
      switch (channels) {
        case 1:
          argb = Pack(0xFF, p[0], p[0], p[0]);
          break;
        case 2:
          argb = Pack(p[1], p[0], p[0], p[0]);
          break;
        case 3:
          argb = Pack(0xFF, p[0], p[1], p[2]);
          break;
        default:
          argb = Pack(p[3], p[0], p[1], p[2]);
          break;
      }
      *out++ = (colorKey != 0 && argb == colorKey) ? 0u : argb;
    }
  }
  return image;
}

void PackArgb(const ArgbImage& image, D3DFORMAT format, std::uint8_t* bits, INT pitch) {
  for (UINT y = 0; y < image.height; ++y) {
    const std::uint32_t* in = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
    std::uint8_t* out = bits + static_cast<std::ptrdiff_t>(y) * pitch;
    switch (format) {
      case D3DFMT_A8R8G8B8:
        std::memcpy(out, in, static_cast<std::size_t>(image.width) * 4);
        break;
      case D3DFMT_X8R8G8B8:
        for (UINT x = 0; x < image.width; ++x) {
          const std::uint32_t v = in[x] | 0xFF000000u;
          std::memcpy(out + x * 4, &v, 4);
        }
        break;
      case D3DFMT_L8:
        for (UINT x = 0; x < image.width; ++x) {
          out[x] = Luminance(in[x]);
        }
        break;
      case D3DFMT_A8L8:
        for (UINT x = 0; x < image.width; ++x) {
          out[x * 2] = Luminance(in[x]);
          out[x * 2 + 1] = static_cast<std::uint8_t>(in[x] >> 24);
        }
        break;
      default:
        return;
    }
  }
}

ArgbImage UnpackArgb(const std::uint8_t* bits, INT pitch, D3DFORMAT format, UINT width,
                     UINT height) {
  ArgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  for (UINT y = 0; y < height; ++y) {
    const std::uint8_t* in = bits + static_cast<std::ptrdiff_t>(y) * pitch;
    std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(y) * width;
    for (UINT x = 0; x < width; ++x) {
      switch (format) {
        case D3DFMT_A8R8G8B8:
          std::memcpy(&out[x], in + x * 4, 4);
          break;
        case D3DFMT_X8R8G8B8:
          std::memcpy(&out[x], in + x * 4, 4);
          out[x] |= 0xFF000000u;
          break;
        case D3DFMT_L8:
          out[x] = Pack(0xFF, in[x], in[x], in[x]);
          break;
        case D3DFMT_A8L8:
          out[x] = Pack(in[x * 2 + 1], in[x * 2], in[x * 2], in[x * 2]);
          break;
        default:
          out[x] = 0;
          break;
      }
    }
  }
  return image;
}

}  // namespace d3dx
