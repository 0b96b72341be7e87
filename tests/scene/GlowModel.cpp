#include "GlowModel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

float Saturate(float value) { return std::clamp(value, 0.0f, 1.0f); }
float Quantized(float value) { return std::floor(Saturate(value) * 255.0f + 0.5f) / 255.0f; }

}  // namespace

std::array<float, 3> SampleBilinear(const GlowImage& image, float u, float v) {
  const float x = u * static_cast<float>(image.width) - 0.5f;
  const float y = v * static_cast<float>(image.height) - 0.5f;
  const float x0 = std::floor(x), y0 = std::floor(y);
  const float fx = x - x0, fy = y - y0;
  auto texel = [&](float tx, float ty) {
    const int cx = std::clamp(static_cast<int>(tx), 0, image.width - 1);
    const int cy = std::clamp(static_cast<int>(ty), 0, image.height - 1);
    return image.at(cx, cy);
  };
  const auto a = texel(x0, y0), b = texel(x0 + 1, y0), c = texel(x0, y0 + 1),
             d = texel(x0 + 1, y0 + 1);
  std::array<float, 3> out{};
  for (int k = 0; k < 3; ++k)
    out[k] = (a[k] * (1 - fx) + b[k] * fx) * (1 - fy) + (c[k] * (1 - fx) + d[k] * fx) * fy;
  return out;
}

GlowImage ModelBlurLevel(const GlowImage& source, int size, float spread, bool twoTaps) {
  const float h = 0.5f / static_cast<float>(size);
  const float e = h + spread, d = h - spread;
  GlowImage out(size, size);
  // Taps summed stage by stage, each stage's result clamped.
  auto pass = [&](const std::vector<std::array<float, 2>>& offsets, float u, float v) {
    std::array<float, 3> sum{};
    for (const auto& offset : offsets) {
      const auto tap = SampleBilinear(source, u + offset[0], v + offset[1]);
      for (int k = 0; k < 3; ++k) sum[k] = Saturate(sum[k] + tap[k] * kModelTapWeight);
    }
    return sum;
  };
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // The quad's coordinates at the pixel: its corner, not its centre.
      const float u = static_cast<float>(x) / static_cast<float>(size);
      const float v = static_cast<float>(y) / static_cast<float>(size);
      if (!twoTaps) {
        out.at(x, y) = pass({{e, h}, {d, h}, {h, e}, {h, d}}, u, v);
        continue;
      }
      const auto across = pass({{e, h}, {d, h}}, u, v);
      const auto down = pass({{h, e}, {h, d}}, u, v);
      for (int k = 0; k < 3; ++k) out.at(x, y)[k] = Saturate(Quantized(across[k]) + down[k]);
    }
  }
  return out;
}

GlowImage ModelComposite(const GlowImage& frame, const std::vector<GlowImage>& levels,
                         int perDraw) {
  GlowImage out = frame;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const float u = static_cast<float>(x) / static_cast<float>(frame.width);
      const float v = static_cast<float>(y) / static_cast<float>(frame.height);
      for (std::size_t first = 0; first < levels.size(); first += perDraw) {
        std::array<float, 3> draw{};
        for (std::size_t l = first; l < first + perDraw && l < levels.size(); ++l) {
          const auto tap = SampleBilinear(levels[l], u, v);
          for (int k = 0; k < 3; ++k) draw[k] = Saturate(draw[k] + tap[k]);
        }
        for (int k = 0; k < 3; ++k) out.at(x, y)[k] = Saturate(out.at(x, y)[k] + draw[k]);
      }
    }
  }
  return out;
}

GlowImage ReadSurface(IDirect3DDevice9* device, IDirect3DSurface9* surface) {
  D3DSURFACE_DESC desc{};
  surface->GetDesc(&desc);
  GlowImage image(static_cast<int>(desc.Width), static_cast<int>(desc.Height));
  IDirect3DSurface9* copy = nullptr;
  if (SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                    D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
      SUCCEEDED(device->GetRenderTargetData(surface, copy))) {
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
          DWORD p;
          std::memcpy(&p, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
          image.at(x, y) = {((p >> 16) & 0xFF) / 255.0f, ((p >> 8) & 0xFF) / 255.0f,
                            (p & 0xFF) / 255.0f};
        }
      }
      copy->UnlockRect();
    }
  }
  if (copy) copy->Release();
  return image;
}

GlowImage ReadTextureLevel(IDirect3DDevice9* device, IDirect3DTexture9* texture) {
  IDirect3DSurface9* surface = nullptr;
  texture->GetSurfaceLevel(0, &surface);
  GlowImage image = ReadSurface(device, surface);
  surface->Release();
  return image;
}

float MaxDifference(const GlowImage& a, const GlowImage& b) {
  if (a.width != b.width || a.height != b.height) return 1e9f;
  float worst = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    for (int k = 0; k < 3; ++k)
      worst = std::max(worst, std::fabs(a.pixels[i][k] - b.pixels[i][k]) * 255.0f);
  return worst;
}
