// Shared helpers of the graphics tests: a headless device on a small back buffer,
// pixel read-back through GetRenderTargetData, quad drawing, colour comparison with a
// per-channel tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"

// Owns one reference to each object; released in reverse order.
class TestDevice {
 public:
  TestDevice(UINT width = 64, UINT height = 64, D3DFORMAT depth = D3DFMT_D24S8,
             D3DFORMAT backBuffer = D3DFMT_A8R8G8B8);
  ~TestDevice();
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  IDirect3DDevice9* operator->() const { return device; }
  bool ok() const { return device != nullptr; }

  // The colour render target's pixels (0xAARRGGBB, rows top first).
  std::vector<DWORD> Read(IDirect3DSurface9* target = nullptr) const;
  DWORD Pixel(UINT x, UINT y, IDirect3DSurface9* target = nullptr) const;

  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  UINT width, height;
};

struct PosColor {
  float x, y, z;
  DWORD color;
};
struct PosTex {
  float x, y, z, u, v;
};
struct RhwTex {
  float x, y, z, rhw, u, v;
};

// A quad over clip-space x0..x1, y0..y1 (identity transforms) as a 4-vertex strip,
// wound clockwise on screen (front-facing in Direct3D).
void DrawColorQuad(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, DWORD color,
                   float z = 0.5f);
void DrawFullScreenColor(IDirect3DDevice9* device, DWORD color, float z = 0.5f);
// The same with one 2D texture coordinate set: u 0..1 left to right, v 0..1 top to bottom.
void DrawTexQuad(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, float u0 = 0,
                 float v0 = 0, float u1 = 1, float v1 = 1);

// A texture of the given ARGB texels, rows top first (managed pool).
IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT width, UINT height,
                               const std::vector<DWORD>& texels,
                               D3DFORMAT format = D3DFMT_A8R8G8B8);

// |a - b| <= tolerance in each of the four channels (alpha too unless ignoreAlpha).
::testing::AssertionResult ColorNear(DWORD actual, DWORD expected, int tolerance,
                                     bool ignoreAlpha = true);

inline DWORD FloatDword(float f) {
  DWORD d;
  static_assert(sizeof d == sizeof f);
  __builtin_memcpy(&d, &f, sizeof d);
  return d;
}

D3DMATRIX Identity();
