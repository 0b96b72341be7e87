// Depth test and writes, Direct3D's 0..1 clip depth, and the depth formats.
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"
#include "support/HResult.h"

TEST(Depth, ClipDepthRunsFromZeroToW) {
  TestDevice device(64, 16);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 0.75f, 0);
  // z runs 1.1 at the left edge to −1.1 at the right: 1.1 − 2.2·(x + 0.5)/64 at pixel x.
  auto ramp = [&](DWORD color) {
    PosColor quad[4] = {{-1, 1, 1.1f, color}, {1, 1, -1.1f, color}, {-1, -1, 1.1f, color},
                        {1, -1, -1.1f, color}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(PosColor));
  };
  device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
  ramp(0xFFFF0000);
  device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
  ramp(0xFF0000FF);
  // Pixel 2: z 1.03 is beyond the far plane; 4: z 0.93, 11: 0.70, 14: 0.60 in front of
  // 0.75; 30: 0.05; 33: −0.05 is before the near plane.
  EXPECT_TRUE(ColorNear(device.Pixel(2, 8), 0xffffff, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(4, 8), 0xff0000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(14, 8), 0x0000ff, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(30, 8), 0x0000ff, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(33, 8), 0xffffff, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(60, 8), 0xffffff, 0));
}

TEST(Depth, WritesCanBeSwitchedOffAndTheTestToo) {
  for (D3DFORMAT format : {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D16}) {
    SCOPED_TRACE(testing::Message() << "depth format " << format);
    TestDevice device(16, 16, format);
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    DWORD zenable = 0;
    device->GetRenderState(D3DRS_ZENABLE, &zenable);
    EXPECT_EQ(zenable, static_cast<DWORD>(D3DZB_TRUE));
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // A near quad drawn without depth writes does not hide a farther one.
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawFullScreenColor(device.device, 0xFFFF0000, 0.2f);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    DrawFullScreenColor(device.device, 0xFF00FF00, 0.6f);
    EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x00ff00, 0));
    // Now it is written: the nearer one stays in front.
    DrawFullScreenColor(device.device, 0xFF0000FF, 0.8f);
    EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x00ff00, 0));
    DrawFullScreenColor(device.device, 0xFFFFFF00, 0.6f);  // LESSEQUAL: equal passes
    EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xffff00, 0));
    // With the test off everything is drawn.
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawFullScreenColor(device.device, 0xFF00FFFF, 0.9f);
    EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x00ffff, 0));
  }
}

TEST(Depth, ZEnableStartsFalseWithoutAnAutomaticDepthSurface) {
  TestDevice device(16, 16, D3DFMT_UNKNOWN);
  ASSERT_TRUE(device.ok());
  DWORD zenable = 1;
  device->GetRenderState(D3DRS_ZENABLE, &zenable);
  EXPECT_EQ(zenable, static_cast<DWORD>(D3DZB_FALSE));
  IDirect3DSurface9* depth = nullptr;
  EXPECT_HR_EQ(D3DERR_NOTFOUND, device->GetDepthStencilSurface(&depth));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetRenderState(D3DRS_ZENABLE, D3DZB_USEW));
}

TEST(Depth, StencilTestWithAReferenceWrittenByAnEarlierDraw) {
  TestDevice device(16, 16, D3DFMT_D24S8);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 127);
  device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
  DrawColorQuad(device.device, -1, -1, 0, 1, 0xFFFF0000);  // left half: stencil 128
  device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  device->SetRenderState(D3DRS_STENCILREF, 128);
  device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
  DrawFullScreenColor(device.device, 0xFF00FF00);
  EXPECT_TRUE(ColorNear(device.Pixel(4, 8), 0x00ff00, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0x000000, 0));
}
