// Direct3D 9's pixel grid: pixel centres at integer coordinates, so a texture drawn
// 1:1 with the half-pixel offset reproduces its texels exactly, and the top-left fill
// convention decides edges through pixel centres.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"

namespace {

std::vector<DWORD> SixteenTexels() {
  std::vector<DWORD> texels;
  for (DWORD i = 0; i < 16; ++i) texels.push_back(0xFF000000 | (i * 16) << 16 | (255 - i * 15) << 8 | i * 7);
  return texels;
}

}  // namespace

TEST(PixelMapping, PretransformedQuadOffsetByHalfAPixelReproducesEveryTexel) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  std::vector<DWORD> texels = SixteenTexels();
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 4, 4, texels));
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  RhwTex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0, 0}, {3.5f, -0.5f, 0.5f, 1, 1, 0},
                    {-0.5f, 3.5f, 0.5f, 1, 0, 1}, {3.5f, 3.5f, 0.5f, 1, 1, 1}};
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  std::vector<DWORD> pixels = device.Read();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      DWORD expected = x < 4 && y < 4 ? texels[y * 4 + x] : 0xFF0000FF;
      EXPECT_EQ(pixels[y * 8 + x], expected) << "pixel " << x << "," << y;
    }
  device->SetTexture(0, nullptr);
}

TEST(PixelMapping, ImageBlitterTransformReproducesEveryTexelOnePixelRight) {
  // The blitter's setup on a 64×64 screen: orthographic 0..64 with y up, one texel per
  // unit, world translation (x + 0.5, screenHeight − imageHeight − y + 0.5). The picture
  // at (8, 8) spans screen x 8.5..12.5 and y 7.5..11.5: pixel centres 9..12 and 8..11,
  // each exactly on a texel centre.
  TestDevice device(64, 64);
  ASSERT_TRUE(device.ok());
  std::vector<DWORD> texels = SixteenTexels();
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 4, 4, texels));
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DMATRIX projection = Identity();  // orthographic off-centre l 0, r 64, b 0, t 64, 0..1
  projection._11 = 2.0f / 64;
  projection._22 = 2.0f / 64;
  projection._41 = -1;
  projection._42 = -1;
  device->SetTransform(D3DTS_PROJECTION, &projection);
  D3DMATRIX world = Identity();
  world._41 = 8 + 0.5f;
  world._42 = 64 - 4 - 8 + 0.5f;
  device->SetTransform(D3DTS_WORLD, &world);
  PosTex quad[4] = {{0, 0, 1, 0, 1}, {0, 4, 1, 0, 0}, {4, 0, 1, 1, 1}, {4, 4, 1, 1, 0}};
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  std::vector<DWORD> pixels = device.Read();
  for (int y = 7; y < 13; ++y)
    for (int x = 8; x < 14; ++x) {
      int tx = x - 9, ty = y - 8;
      DWORD expected = tx >= 0 && tx < 4 && ty >= 0 && ty < 4 ? texels[ty * 4 + tx] : 0xFF0000FF;
      EXPECT_EQ(pixels[y * 64 + x], expected) << "pixel " << x << "," << y;
    }
  device->SetTexture(0, nullptr);
}

TEST(PixelMapping, TopLeftFillConvention) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const DWORD L = 0xFFFF0000, T = 0xFF00FF00, R = 0xFF000000, B = 0xFFFFFF00;
  // Four triangles meeting at one point; coordinates in quarters of clip space.
  auto draw = [&](float dx, float dy) {
    auto v = [&](float x, float y, DWORD c) { return PosColor{(x + dx) / 4, (y + dy) / 4, 0, c}; };
    PosColor tris[12] = {v(-2.5f, -1.5f, L), v(-2.5f, 2.5f, L), v(-1.5f, 0.5f, L),
                         v(-1.5f, 0.5f, T),  v(-2.5f, 2.5f, T), v(-0.5f, 2.5f, T),
                         v(-0.5f, -1.5f, R), v(-1.5f, 0.5f, R), v(-0.5f, 2.5f, R),
                         v(-2.5f, -1.5f, B), v(-1.5f, 0.5f, B), v(-0.5f, -1.5f, B)};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 4, tris, sizeof tris[0]);
    std::vector<DWORD> pixels = device.Read();
    std::vector<std::string> rows;
    for (int y = 0; y < 8; ++y) {
      std::string row;
      for (int x = 0; x < 8; ++x) {
        DWORD p = pixels[y * 8 + x] & 0xFFFFFF;
        row += p == (L & 0xFFFFFF) ? 'L' : p == (T & 0xFFFFFF) ? 'T' : p == (R & 0xFFFFFF) ? 'R'
             : p == (B & 0xFFFFFF) ? 'B' : ' ';
      }
      rows.push_back(row);
    }
    return rows;
  };
  // Vertices on pixel edges: no centre lies on an edge.
  EXPECT_EQ(draw(0, 0), (std::vector<std::string>{"        ", "        ", "  TT    ", "  LR    ",
                                                   "  LR    ", "  BB    ", "        ", "        "}));
  // Vertices on pixel centres: ties go to top and left edges.
  EXPECT_EQ(draw(0.5f, 0.5f),
            (std::vector<std::string>{"        ", "  TT    ", "  LT    ", "  LR    ",
                                      "  LB    ", "        ", "        ", "        "}));
}
