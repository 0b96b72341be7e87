// A floating-point model of the glow chain: bilinear taps with clamp addressing
// sampled the way Direct3D 9 maps a full-screen quad to pixels, each blur level's
// four (or twice two) taps of weight 0x44/255, and the stretched additive
// composite of every level over a frame. Colours are RGB in 0..1.
#pragma once

#include <array>
#include <vector>

#include "platform/d3d9/d3d9.h"

struct GlowImage {
  int width = 0, height = 0;
  std::vector<std::array<float, 3>> pixels;  // rows top first

  GlowImage() = default;
  GlowImage(int width, int height) : width(width), height(height), pixels(width * height) {}
  std::array<float, 3>& at(int x, int y) { return pixels[y * width + x]; }
  const std::array<float, 3>& at(int x, int y) const { return pixels[y * width + x]; }
};

inline constexpr float kModelTapWeight = 68.0f / 255.0f;

// Bilinear sample at (u, v), texel centres at (i + 0.5) / size, edges clamped.
std::array<float, 3> SampleBilinear(const GlowImage& image, float u, float v);
// Level `size` of the chain from `source` with the given spread; twoTaps models
// the horizontal pass, its storage in 8 bits, and the vertical pass added on it.
GlowImage ModelBlurLevel(const GlowImage& source, int size, float spread, bool twoTaps);
// `frame` with every level stretched over it and added, `perDraw` levels summed
// (and clamped) in one draw before the draw is blended on.
GlowImage ModelComposite(const GlowImage& frame, const std::vector<GlowImage>& levels,
                         int perDraw);
// Pixels of an A8R8G8B8 or X8R8G8B8 surface (render target or texture level).
GlowImage ReadSurface(IDirect3DDevice9* device, IDirect3DSurface9* surface);
GlowImage ReadTextureLevel(IDirect3DDevice9* device, IDirect3DTexture9* texture);
// Largest per-channel difference between two images of one size, in 1/255 steps.
float MaxDifference(const GlowImage& a, const GlowImage& b);
