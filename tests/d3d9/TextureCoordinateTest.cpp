// Texture coordinates: transforms (two-component coordinates take their translation
// from the third row), the per-stage matrix, TEXCOORDINDEX, pretransformed vertices,
// and sphere-map generation.
#include <gtest/gtest.h>

#include <vector>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"

namespace {

struct PosNormal {
  float x, y, z, nx, ny, nz;
};

// 16×16 gradient: red = row·17, green = column·17, so a texel reads back its own (v, u).
IDirect3DTexture9* Gradient(IDirect3DDevice9* device) {
  std::vector<DWORD> texels(256);
  for (DWORD y = 0; y < 16; ++y)
    for (DWORD x = 0; x < 16; ++x) texels[y * 16 + x] = 0xFF000000 | (y * 17) << 16 | (x * 17) << 8;
  return MakeTexture(device, 16, 16, texels);
}

class TextureCoordinates : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    texture = Gradient(device.device);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  }
  void TearDown() override {
    if (device.ok()) device->SetTexture(0, nullptr);
    if (texture) texture->Release();
  }
  // A full-screen quad with the same coordinates at every vertex.
  DWORD DrawConstant(float u, float v) {
    DrawTexQuad(device.device, -1, -1, 1, 1, u, v, u, v);
    return device.Pixel(8, 8);
  }
  TestDevice device{16, 16};
  IDirect3DTexture9* texture = nullptr;
};

}  // namespace

TEST_F(TextureCoordinates, DisabledTransformIgnoresTheMatrix) {
  D3DMATRIX zero{};
  device->SetTransform(D3DTS_TEXTURE0, &zero);
  EXPECT_TRUE(ColorNear(DrawConstant(1, 1), 0xffff00, 0));
}

TEST_F(TextureCoordinates, TwoComponentTransformsPadWithOneThenZero) {
  D3DMATRIX m{};
  device->SetTransform(D3DTS_TEXTURE0, &m);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  EXPECT_TRUE(ColorNear(DrawConstant(1, 1), 0x000000, 0));  // all-zero matrix: (0, 0)
  m._32 = 1;  // v' = 1 from the implicit third component
  device->SetTransform(D3DTS_TEXTURE0, &m);
  EXPECT_TRUE(ColorNear(DrawConstant(0.8f, 0.2f), 0xff0000, 0));
  m = D3DMATRIX{};
  m._31 = 1;  // u' = 1 from the third component
  m._42 = 1;  // the fourth component is 0: no v
  device->SetTransform(D3DTS_TEXTURE0, &m);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT4);
  EXPECT_TRUE(ColorNear(DrawConstant(0.5f, 0.5f), 0x00ff00, 0));
}

TEST_F(TextureCoordinates, ScaleAboutTheCentreWithTheTranslationInTheThirdRow) {
  // u' = (u − 0.5)·2 + 0.5 − 0.25, v' = (v − 0.5)·0.5 + 0.5 + 0.125.
  D3DMATRIX m = Identity();
  m._11 = 2;
  m._22 = 0.5f;
  m._31 = -0.5f * 2 + 0.5f - 0.25f;
  m._32 = -0.5f * 0.5f + 0.5f + 0.125f;
  device->SetTransform(D3DTS_TEXTURE0, &m);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  // (0.6, 0.3) → (0.45, 0.525): texel (7, 8).
  EXPECT_TRUE(ColorNear(DrawConstant(0.6f, 0.3f), (8 * 17) << 16 | (7 * 17) << 8, 0));
}

TEST_F(TextureCoordinates, PretransformedVerticesAreNeverTransformed) {
  D3DMATRIX zero{};
  device->SetTransform(D3DTS_TEXTURE0, &zero);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  RhwTex quad[4] = {{0, 0, 0.5f, 1, 0, 1}, {16, 0, 0.5f, 1, 0, 1}, {0, 16, 0.5f, 1, 0, 1},
                    {16, 16, 0.5f, 1, 0, 1}};
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xff0000, 0));
}

TEST_F(TextureCoordinates, IndexSelectsTheSetAndTheStageSelectsTheMatrix) {
  // Two 2×2 textures: stage 0 [black, green; blue, cyan], stage 1 [black, blue; red, magenta].
  IDirect3DTexture9* first =
      MakeTexture(device.device, 2, 2, {0xFF000000, 0xFF00FF00, 0xFF0000FF, 0xFF00FFFF});
  IDirect3DTexture9* second =
      MakeTexture(device.device, 2, 2, {0xFF000000, 0xFF0000FF, 0xFFFF0000, 0xFFFF00FF});
  device->SetTexture(0, first);
  device->SetTexture(1, second);
  device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
  device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
  device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
  struct {
    float x, y, z;
    float uv[3][2];
  } quad[4] = {
      // set 0: v 0 at the top; set 1: mirrored vertically; set 2: mirrored horizontally.
      {-1, 1, 0.5f, {{0, 0}, {0, 1}, {1, 0}}},
      {1, 1, 0.5f, {{1, 0}, {1, 1}, {0, 0}}},
      {-1, -1, 0.5f, {{0, 1}, {0, 0}, {1, 1}}},
      {1, -1, 0.5f, {{1, 1}, {1, 0}, {0, 1}}},
  };
  auto draw = [&]() {
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX3);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    return std::vector<DWORD>{device.Pixel(4, 4), device.Pixel(12, 4), device.Pixel(4, 12),
                              device.Pixel(12, 12)};
  };
  auto expect = [](const std::vector<DWORD>& got, const std::vector<DWORD>& expected) {
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ColorNear(got[i], expected[i], 2)) << "quadrant " << i;
  };
  expect(draw(), {0x0000ff, 0x00ffff, 0xff0000, 0xffffff});
  // Stage 1's matrix (not set 0's) keeps only u: v' = 0.
  D3DMATRIX m{};
  m._11 = 1;
  device->SetTransform(D3DTS_TEXTURE1, &m);
  device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  expect(draw(), {0x0000ff, 0x00ffff, 0x000000, 0x00ffff});
  device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 2);
  expect(draw(), {0x0000ff, 0x00ffff, 0xff00ff, 0xffff00});
  device->SetTexture(1, nullptr);
  first->Release();
  second->Release();
}

TEST_F(TextureCoordinates, SphereMapReflectsTheEyeVectorAboutTheNormal) {
  // 8×8 texture, each texel its own colour: red = column·32, green = row·32.
  std::vector<DWORD> texels(64);
  for (DWORD y = 0; y < 8; ++y)
    for (DWORD x = 0; x < 8; ++x) texels[y * 8 + x] = 0xFF000000 | (x * 32) << 16 | (y * 32) << 8;
  ComOwner<IDirect3DTexture9> sphere(MakeTexture(device.device, 8, 8, texels));
  device->SetTexture(0, sphere.get());
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_SPHEREMAP);
  // A tiny quad at z = 1 magnified to fill the screen, so the eye vector is (0, 0, 1)
  // at every vertex. Normal (0.36, 0.48, −0.8): R = I − 2(N·I)N = (0.576, 0.768, −0.28),
  // m = 2·sqrt(Rx² + Ry² + (Rz + 1)²) = 2.4, (u, v) = (R.x/m + 0.5, R.y/m + 0.5) =
  // (0.74, 0.82): texel (5, 6).
  D3DMATRIX projection = Identity();
  projection._11 = projection._22 = 1000;
  device->SetTransform(D3DTS_PROJECTION, &projection);
  PosNormal quad[4];
  const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
  for (int i = 0; i < 4; ++i)
    quad[i] = {corners[i][0] * 0.001f, corners[i][1] * 0.001f, 1, 0.36f, 0.48f, -0.8f};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 5 * 32 << 16 | 6 * 32 << 8, 0));
  // The generated coordinate is (u, v, 0, 1): a two-component transform takes its
  // translation from the fourth row. u' = 0.74 − 0.25 = 0.49: texel (3, 6).
  D3DMATRIX m = Identity();
  m._41 = -0.25f;
  m._31 = 5.0f;  // would move u far away if the third component were 1
  device->SetTransform(D3DTS_TEXTURE0, &m);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 3 * 32 << 16 | 6 * 32 << 8, 0));
  device->SetTexture(0, texture);
}
