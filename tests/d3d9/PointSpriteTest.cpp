// Points: size, the minimum and maximum clamps, distance scaling, sprite texture
// coordinates (0, 0 at the top-left), sizes beyond what OpenGL points allow, size 0.
#include <gtest/gtest.h>

#include <cmath>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"
#include "support/HResult.h"

namespace {

// Projection mapping (x, y) in pixels of a width×height target to clip space.
D3DMATRIX PixelProjection(float width, float height) {
  D3DMATRIX m = Identity();
  m._11 = 2 / width;
  m._22 = -2 / height;
  m._41 = -1;
  m._42 = 1;
  return m;
}

// Half the side of the white square drawn around (x, y): the largest r with (x ± r, y)
// and (x, y ± r) all white.
int HalfSide(const std::vector<DWORD>& pixels, int width, int x, int y) {
  auto white = [&](int px, int py) { return (pixels[py * width + px] & 0xFFFFFF) == 0xFFFFFF; };
  if (!white(x, y)) return -1;
  int r = 0;
  while (white(x - r - 1, y) && white(x + r + 1, y) && white(x, y - r - 1) && white(x, y + r + 1))
    ++r;
  return r;
}

}  // namespace

TEST(PointSprite, SizesAndClamps) {
  TestDevice device(512, 128);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DMATRIX projection = PixelProjection(512, 128);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  device->SetFVF(D3DFVF_XYZ);
  struct {
    float x, size, minimum, maximum;
    int halfSide;  // odd sizes centred on a pixel: (size − 1)/2 after rounding to pixels
  } cases[] = {
      {32, 15, 1, 64, 7},    {96, 31, 1, 64, 15},  {160, 30.75f, 1, 64, 15},
      {240, 63, 1, 64, 31},  {320, 62.75f, 1, 64, 31}, {384, 1, 1, 64, 0},
      {416, 15, 1, 1, 0},    // the maximum wins
      {448, 1, 15, 64, 7},   // the minimum wins
  };
  for (const auto& c : cases) {
    device->SetRenderState(D3DRS_POINTSIZE, FloatDword(c.size));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, FloatDword(c.minimum));
    device->SetRenderState(D3DRS_POINTSIZE_MAX, FloatDword(c.maximum));
    D3DVECTOR point{c.x, 64, 0};
    ASSERT_HR(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point));
  }
  std::vector<DWORD> pixels = device.Read();
  for (const auto& c : cases)
    EXPECT_EQ(HalfSide(pixels, 512, static_cast<int>(c.x), 64), c.halfSide) << "point at " << c.x;
}

TEST(PointSprite, LargerThanOpenGLPointsAllowAndSizeZeroDrawsNothing) {
  TestDevice device(304, 304);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DMATRIX projection = PixelProjection(304, 304);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  device->SetFVF(D3DFVF_XYZ);
  device->SetRenderState(D3DRS_POINTSIZE, FloatDword(301));
  D3DVECTOR point{152, 152, 0};
  device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
  EXPECT_EQ(HalfSide(device.Read(), 304, 152, 152), 150);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  device->SetRenderState(D3DRS_POINTSIZE, FloatDword(0));
  device->SetRenderState(D3DRS_POINTSIZE_MIN, FloatDword(0));
  device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
  EXPECT_TRUE(ColorNear(device.Pixel(152, 152), 0x0000ff, 0));
}

TEST(PointSprite, SpriteCoordinatesStartAtTheTopLeftOnEveryStage) {
  TestDevice device(128, 128);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DMATRIX projection = PixelProjection(128, 128);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  IDirect3DTexture9* top = MakeTexture(device.device, 2, 2,
                                       {0x00FF0000, 0x00FF0000, 0x00000000, 0x00000000});
  IDirect3DTexture9* right = MakeTexture(device.device, 2, 2,
                                         {0x00000000, 0x0000FF00, 0x00000000, 0x0000FF00});
  device->SetTexture(0, top);
  device->SetTexture(1, right);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device->SetRenderState(D3DRS_POINTSIZE, FloatDword(32));
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  D3DVECTOR point{64, 64, 0};
  device->SetFVF(D3DFVF_XYZ);
  device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
  std::vector<DWORD> pixels = device.Read();
  EXPECT_TRUE(ColorNear(pixels[60 * 128 + 60], 0xff0000, 0));
  EXPECT_TRUE(ColorNear(pixels[60 * 128 + 68], 0xffff00, 0));
  EXPECT_TRUE(ColorNear(pixels[68 * 128 + 60], 0x000000, 0));
  EXPECT_TRUE(ColorNear(pixels[68 * 128 + 68], 0x00ff00, 0));
  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);
  top->Release();
  right->Release();
}

TEST(PointSprite, ScaledByDistanceOnARenderTargetWhoseViewportWasReset) {
  TestDevice device(160, 160);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  ComOwner<IDirect3DTexture9> target;
  ASSERT_HR(device->CreateTexture(128, 128, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                  D3DPOOL_DEFAULT, Out(target), nullptr));
  ComOwner<IDirect3DSurface9> surface;
  target->GetSurfaceLevel(0, Out(surface));
  device->SetRenderTarget(0, surface.get());  // Vh becomes 128
  IDirect3DTexture9* top = MakeTexture(device.device, 2, 2,
                                       {0x00FF0000, 0x00FF0000, 0x00000000, 0x00000000});
  IDirect3DTexture9* right = MakeTexture(device.device, 2, 2,
                                         {0x00000000, 0x0000FF00, 0x00000000, 0x0000FF00});
  device->SetTexture(0, top);
  device->SetTexture(1, right);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  D3DMATRIX projection = Identity();
  projection._11 = 1.0f / 64;
  projection._22 = -1.0f / 64;
  projection._41 = -1;
  projection._42 = 1;
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
  device->SetRenderState(D3DRS_POINTSCALE_A, FloatDword(1));
  device->SetRenderState(D3DRS_POINTSCALE_B, FloatDword(1));
  device->SetRenderState(D3DRS_POINTSCALE_C, FloatDword(1));
  device->SetRenderState(D3DRS_POINTSIZE_MAX, FloatDword(1024));
  device->SetFVF(D3DFVF_XYZ);
  D3DVECTOR point{64, 64, 0.1f};
  // S = Vh·size·sqrt(1/(A + B·De + C·De²)), De = |(64, 64, 0.1)| = 90.51:
  // 128·32/sqrt(1 + 90.51 + 8192.01) = 45.0; with POINTSIZE_MIN 63, 63.
  struct {
    float minimum;
    int side;
  } cases[] = {{1, 45}, {63, 63}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "minimum " << c.minimum);
    device->SetRenderState(D3DRS_POINTSIZE, FloatDword(32));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, FloatDword(c.minimum));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FFFF, 1.0f, 0);
    device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    std::vector<DWORD> pixels = device.Read(surface.get());
    int in = c.side / 2 - 1, out = c.side / 2 + 1;
    // The sprite's alpha is the textures' 0 (stage 0 selects texture alpha).
    EXPECT_EQ(pixels[(64 - in) * 128 + 64 - in], 0x00ff0000u);
    EXPECT_EQ(pixels[(64 - in) * 128 + 64 + in], 0x00ffff00u);
    EXPECT_EQ(pixels[(64 + in) * 128 + 64 - in], 0x00000000u);
    EXPECT_EQ(pixels[(64 + in) * 128 + 64 + in], 0x0000ff00u);
    EXPECT_EQ(pixels[(64 - out) * 128 + 64 - out], 0xff00ffffu);
    EXPECT_EQ(pixels[(64 + out) * 128 + 64 + out], 0xff00ffffu);
  }
  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);
  top->Release();
  right->Release();
}

TEST(PointSprite, PerVertexSizeReplacesTheRenderState) {
  TestDevice device(64, 64);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DMATRIX projection = PixelProjection(64, 64);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->SetRenderState(D3DRS_POINTSIZE, FloatDword(3));
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  struct {
    float x, y, z, size;
  } point = {32, 32, 0, 21};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_PSIZE);
  device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
  EXPECT_EQ(HalfSide(device.Read(), 64, 32, 32), 10);
}
