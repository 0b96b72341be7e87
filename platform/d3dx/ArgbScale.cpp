// ScaleArgb of ArgbImage.h: the D3DX filters none, point, and box/linear.
#include <algorithm>

#include "platform/d3dx/ArgbImage.h"
#include "platform/d3dx/d3dx9tex.h"

namespace d3dx {
namespace {

std::uint32_t Channel(std::uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

ArgbImage Blank(UINT width, UINT height) {
  ArgbImage out;
  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<std::size_t>(width) * height, 0u);
  return out;
}

ArgbImage CopyUnscaled(const ArgbImage& source, UINT width, UINT height) {
  ArgbImage out = Blank(width, height);
  const UINT w = std::min(width, source.width);
  const UINT h = std::min(height, source.height);
  for (UINT y = 0; y < h; ++y) {
    std::copy_n(source.pixels.begin() + static_cast<std::ptrdiff_t>(y) * source.width, w,
                out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
  }
  return out;
}

ArgbImage Point(const ArgbImage& source, UINT width, UINT height) {
  ArgbImage out = Blank(width, height);
  for (UINT y = 0; y < height; ++y) {
    const UINT sy = static_cast<UINT>((2ull * y + 1) * source.height / (2ull * height));
    for (UINT x = 0; x < width; ++x) {
      const UINT sx = static_cast<UINT>((2ull * x + 1) * source.width / (2ull * width));
      out.pixels[static_cast<std::size_t>(y) * width + x] =
          source.pixels[static_cast<std::size_t>(sy) * source.width + sx];
    }
  }
  return out;
}

// Average of the source pixels whose centres fall inside each destination pixel
// (at least one); used when no dimension grows, so 2:1 gives exact 2x2 means.
ArgbImage Box(const ArgbImage& source, UINT width, UINT height) {
  ArgbImage out = Blank(width, height);
  for (UINT y = 0; y < height; ++y) {
    const UINT y0 = static_cast<UINT>(static_cast<std::uint64_t>(y) * source.height / height);
    const UINT y1 = std::max(
        y0 + 1, static_cast<UINT>(static_cast<std::uint64_t>(y + 1) * source.height / height));
    for (UINT x = 0; x < width; ++x) {
      const UINT x0 = static_cast<UINT>(static_cast<std::uint64_t>(x) * source.width / width);
      const UINT x1 = std::max(
          x0 + 1, static_cast<UINT>(static_cast<std::uint64_t>(x + 1) * source.width / width));
      std::uint64_t sum[4] = {0, 0, 0, 0};
      for (UINT sy = y0; sy < y1; ++sy) {
        for (UINT sx = x0; sx < x1; ++sx) {
          const std::uint32_t p = source.pixels[static_cast<std::size_t>(sy) * source.width + sx];
          for (int c = 0; c < 4; ++c) {
            sum[c] += Channel(p, c * 8);
          }
        }
      }
      const std::uint64_t count = static_cast<std::uint64_t>(y1 - y0) * (x1 - x0);
      std::uint32_t result = 0;
      for (int c = 0; c < 4; ++c) {
        result |= static_cast<std::uint32_t>((sum[c] + count / 2) / count) << (c * 8);
      }
      out.pixels[static_cast<std::size_t>(y) * width + x] = result;
    }
  }
  return out;
}

// Bilinear interpolation between pixel centres, edges clamped.
ArgbImage Bilinear(const ArgbImage& source, UINT width, UINT height) {
  ArgbImage out = Blank(width, height);
  auto position = [](UINT i, UINT to, UINT from, UINT* i0, UINT* i1, float* f) {
    float s = (static_cast<float>(i) + 0.5f) * static_cast<float>(from) / static_cast<float>(to) -
              0.5f;
    s = std::clamp(s, 0.0f, static_cast<float>(from - 1));
    *i0 = static_cast<UINT>(s);
    *i1 = std::min(*i0 + 1, from - 1);
    *f = s - static_cast<float>(*i0);
  };
  for (UINT y = 0; y < height; ++y) {
    UINT y0, y1;
    float fy;
    position(y, height, source.height, &y0, &y1, &fy);
    for (UINT x = 0; x < width; ++x) {
      UINT x0, x1;
      float fx;
      position(x, width, source.width, &x0, &x1, &fx);
      const std::uint32_t p00 = source.pixels[static_cast<std::size_t>(y0) * source.width + x0];
      const std::uint32_t p01 = source.pixels[static_cast<std::size_t>(y0) * source.width + x1];
      const std::uint32_t p10 = source.pixels[static_cast<std::size_t>(y1) * source.width + x0];
      const std::uint32_t p11 = source.pixels[static_cast<std::size_t>(y1) * source.width + x1];
      std::uint32_t result = 0;
      for (int c = 0; c < 4; ++c) {
        const int shift = c * 8;
        const float top = Channel(p00, shift) + fx * (float(Channel(p01, shift)) - Channel(p00, shift));
        const float bottom =
            Channel(p10, shift) + fx * (float(Channel(p11, shift)) - Channel(p10, shift));
        const float v = top + fy * (bottom - top);
        result |= static_cast<std::uint32_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)) << shift;
      }
      out.pixels[static_cast<std::size_t>(y) * width + x] = result;
    }
  }
  return out;
}

}  // namespace

ArgbImage ScaleArgb(const ArgbImage& source, UINT width, UINT height, DWORD filterType) {
  if (width == source.width && height == source.height) {
    return source;
  }
  if (source.width == 0 || source.height == 0 || filterType == D3DX_FILTER_NONE) {
    return CopyUnscaled(source, width, height);
  }
  if (filterType == D3DX_FILTER_POINT) {
    return Point(source, width, height);
  }
  if (width <= source.width && height <= source.height) {
    return Box(source, width, height);
  }
  return Bilinear(source, width, height);
}

}  // namespace d3dx
