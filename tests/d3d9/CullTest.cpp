// Culling by on-screen winding, on the back buffer and on a render-target texture
// (whose image is stored the other way up in OpenGL).
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"
#include "support/HResult.h"

namespace {

// A runs bottom-left, bottom-right, top-right on screen: counter-clockwise.
// B runs bottom-left, top-left, top-right: clockwise.
void DrawBoth(IDirect3DDevice9* device) {
  PosColor a[3] = {{-1, -1, 0.5f, 0xFFFF0000}, {0, -1, 0.5f, 0xFFFF0000}, {0, 0, 0.5f, 0xFFFF0000}};
  PosColor b[3] = {{-1, -1, 0.5f, 0xFF00FF00}, {-1, 0, 0.5f, 0xFF00FF00}, {0, 0, 0.5f, 0xFF00FF00}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, a, sizeof(PosColor));
  device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, b, sizeof(PosColor));
}

void CheckModes(TestDevice& device, IDirect3DSurface9* target) {
  const DWORD kClear = 0x0000ff, kA = 0xff0000, kB = 0x00ff00;
  // In a 32×32 target: inside A near the bottom-right of the lower-left quadrant, inside B
  // near its top-left.
  struct {
    D3DCULL mode;
    DWORD inA, inB;
  } cases[] = {{D3DCULL_CCW, kClear, kB}, {D3DCULL_CW, kA, kClear}, {D3DCULL_NONE, kA, kB}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "cull mode " << c.mode);
    device->SetRenderState(D3DRS_CULLMODE, c.mode);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    DrawBoth(device.device);
    EXPECT_TRUE(ColorNear(device.Pixel(12, 28, target), c.inA, 0));
    EXPECT_TRUE(ColorNear(device.Pixel(4, 20, target), c.inB, 0));
  }
}

}  // namespace

TEST(Cull, CounterClockwiseIsCulledByDefaultOnTheBackBuffer) {
  TestDevice device(32, 32);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  DWORD mode = 0;
  device->GetRenderState(D3DRS_CULLMODE, &mode);
  EXPECT_EQ(mode, static_cast<DWORD>(D3DCULL_CCW));
  CheckModes(device, nullptr);
}

TEST(Cull, SameWindingRulesOnARenderTargetTexture) {
  TestDevice device(32, 32);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  ComOwner<IDirect3DTexture9> texture;
  ASSERT_HR(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                  D3DPOOL_DEFAULT, Out(texture), nullptr));
  ComOwner<IDirect3DSurface9> level;
  texture->GetSurfaceLevel(0, Out(level));
  ASSERT_HR(device->SetRenderTarget(0, level.get()));
  CheckModes(device, level.get());
}
