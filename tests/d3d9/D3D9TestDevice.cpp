#include "d3d9/D3D9TestDevice.h"

#include <cstdio>
#include <cstring>

#include "support/ComOut.h"
#include "support/DeviceReferences.h"
#include "support/HResult.h"
#include "support/HeadlessDevice.h"

TestDevice::TestDevice(UINT w, UINT h, D3DFORMAT depth, D3DFORMAT backBuffer)
    : width(w), height(h) {
  d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) return;
  device = CreateHeadlessDevice(d3d, w, h, depth, backBuffer);
}

// Every object the test made must be gone with the device.
TestDevice::~TestDevice() {
  EXPECT_TRUE(ReleaseToZero(device, "Device"));
  EXPECT_TRUE(ReleaseToZero(d3d, "Direct3D object"));
}

std::vector<DWORD> TestDevice::Read(IDirect3DSurface9* target) const {
  ComOwner<IDirect3DSurface9> current;
  if (!target) {
    EXPECT_HR(device->GetRenderTarget(0, Out(current)));
    target = current.get();
  }
  std::vector<DWORD> pixels;
  D3DSURFACE_DESC desc{};
  if (!target || FAILED(target->GetDesc(&desc))) return pixels;
  ComOwner<IDirect3DSurface9> copy;
  EXPECT_HR(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                D3DPOOL_SYSTEMMEM, Out(copy), nullptr));
  if (!copy) return pixels;
  EXPECT_HR(device->GetRenderTargetData(target, copy.get()));
  D3DLOCKED_RECT locked{};
  EXPECT_HR(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
  if (!locked.pBits) return pixels;
  pixels.resize(static_cast<std::size_t>(desc.Width) * desc.Height);
  for (UINT y = 0; y < desc.Height; ++y)
    std::memcpy(&pixels[static_cast<std::size_t>(y) * desc.Width],
                static_cast<const BYTE*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch,
                desc.Width * 4);
  EXPECT_HR(copy->UnlockRect());
  return pixels;
}

DWORD TestDevice::Pixel(UINT x, UINT y, IDirect3DSurface9* target) const {
  ComOwner<IDirect3DSurface9> current;
  if (!target) {
    EXPECT_HR(device->GetRenderTarget(0, Out(current)));
    target = current.get();
  }
  D3DSURFACE_DESC desc{};
  if (!target || FAILED(target->GetDesc(&desc))) return 0xDEADBEEF;
  const std::vector<DWORD> pixels = Read(target);
  if (x >= desc.Width || y >= desc.Height || pixels.empty()) return 0xDEADBEEF;
  return pixels[static_cast<std::size_t>(y) * desc.Width + x];
}

void DrawColorQuad(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, DWORD color,
                   float z) {
  // Strip order top-left, top-right, bottom-left, bottom-right: clockwise on screen.
  PosColor quad[4] = {{x0, y1, z, color}, {x1, y1, z, color}, {x0, y0, z, color},
                      {x1, y0, z, color}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(PosColor));
}

void DrawFullScreenColor(IDirect3DDevice9* device, DWORD color, float z) {
  DrawColorQuad(device, -1, -1, 1, 1, color, z);
}

void DrawTexQuad(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, float u0,
                 float v0, float u1, float v1) {
  PosTex quad[4] = {{x0, y1, 0.5f, u0, v0}, {x1, y1, 0.5f, u1, v0}, {x0, y0, 0.5f, u0, v1},
                    {x1, y0, 0.5f, u1, v1}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(PosTex));
}

IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT width, UINT height,
                               const std::vector<DWORD>& texels, D3DFORMAT format) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture,
                                   nullptr)))
    return nullptr;
  D3DLOCKED_RECT locked{};
  texture->LockRect(0, &locked, nullptr, 0);
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < width; ++x) {
      BYTE* row = static_cast<BYTE*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
      DWORD texel = texels[static_cast<std::size_t>(y) * width + x];
      if (format == D3DFMT_L8)
        row[x] = static_cast<BYTE>(texel & 0xFF);
      else if (format == D3DFMT_A8L8) {
        row[2 * x] = static_cast<BYTE>(texel & 0xFF);
        row[2 * x + 1] = static_cast<BYTE>(texel >> 24);
      } else
        std::memcpy(row + 4 * x, &texel, 4);
    }
  texture->UnlockRect(0);
  return texture;
}

::testing::AssertionResult ColorNear(DWORD actual, DWORD expected, int tolerance,
                                     bool ignoreAlpha) {
  for (int shift = 0; shift < (ignoreAlpha ? 24 : 32); shift += 8) {
    int a = static_cast<int>((actual >> shift) & 0xFF);
    int e = static_cast<int>((expected >> shift) & 0xFF);
    if (a - e > tolerance || e - a > tolerance) {
      char text[96];
      std::snprintf(text, sizeof text, "got 0x%08x, expected 0x%08x (±%d%s)", actual, expected,
                    tolerance, ignoreAlpha ? ", alpha ignored" : "");
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

D3DMATRIX Identity() {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}
