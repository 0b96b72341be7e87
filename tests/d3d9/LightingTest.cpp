// Vertex lighting: the default light, directional, point and spot lights with range,
// attenuation and the cone, the local viewer, material colour sources and the lit alpha.
// Expected values follow Direct3D 9's lighting equation (values worked out in the
// comments; the specular grid is the set native drivers produce in Wine's
// test_specular_lighting).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "d3d9/D3D9TestDevice.h"
#include "support/HResult.h"

namespace {

struct PosNormal {
  float x, y, z;
  float nx, ny, nz;
};

struct PosNormalColor {
  float x, y, z;
  float nx, ny, nz;
  DWORD diffuse;
};

// A 5×5 grid over clip x, y in −1..1 at z = 1, normals toward the viewer; vertices
// land on pixels 0, 16, 32, 48, 64 of a 64×64 target.
void DrawGrid(IDirect3DDevice9* device) {
  std::vector<PosNormal> vertices;
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 5; ++column)
      vertices.push_back({-1.0f + 0.5f * column, 1.0f - 0.5f * row, 1.0f, 0, 0, -1});
  std::vector<WORD> indices;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      WORD i = static_cast<WORD>(row * 5 + column);
      for (WORD k : {i, WORD(i + 1), WORD(i + 5), WORD(i + 1), WORD(i + 6), WORD(i + 5)})
        indices.push_back(k);
    }
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
  device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 25, 32, indices.data(), D3DFMT_INDEX16,
                                 vertices.data(), sizeof(PosNormal));
}

class Lighting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  }
  // Grey level at the 3×3 inner grid vertices, rows top first.
  std::vector<int> InnerGrid() {
    std::vector<DWORD> pixels = device.Read();
    std::vector<int> levels;
    for (int y : {16, 32, 48})
      for (int x : {16, 32, 48}) levels.push_back(static_cast<int>(pixels[y * 64 + x] & 0xFF));
    return levels;
  }
  void ExpectGrid(const std::vector<int>& expected, int tolerance) {
    std::vector<int> got = InnerGrid();
    for (int i = 0; i < 9; ++i)
      EXPECT_NEAR(got[i], expected[i], tolerance) << "grid vertex " << i;
  }
  TestDevice device{64, 64};
};

D3DLIGHT9 SpecularOnly(D3DLIGHTTYPE type) {
  D3DLIGHT9 light{};
  light.Type = type;
  light.Specular = {1, 1, 1, 0};
  light.Direction = {0, 0, 1};
  light.Range = 100;
  light.Attenuation2 = 1;
  light.Falloff = 1;
  light.Theta = 3.14159265f / 12;
  light.Phi = 3.14159265f / 3;
  return light;
}

}  // namespace

TEST_F(Lighting, WithoutLightsLitGeometryIsBlackAndUnlitKeepsItsColour) {
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  DrawColorQuad(device.device, -1, -1, 0, 0, 0xFFFF0000);
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  DrawColorQuad(device.device, -1, 0, 0, 1, 0xFF00FF00);
  EXPECT_TRUE(ColorNear(device.Pixel(16, 48), 0xff0000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(16, 16), 0x000000, 0));
}

TEST_F(Lighting, LightEnableWithoutSetLightGivesTheDefaultWhiteDirectionalLight) {
  ASSERT_HR(device->LightEnable(0, TRUE));
  D3DLIGHT9 light{};
  ASSERT_HR(device->GetLight(0, &light));
  EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(light.Diffuse.r, 1.0f);
  EXPECT_EQ(light.Direction.z, 1.0f);
  WINBOOL enabled = FALSE;
  device->GetLightEnable(0, &enabled);
  EXPECT_NE(enabled, FALSE);
  PosNormalColor quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0xFF0000FF}, {1, 1, 0.5f, 0, 0, -1, 0xFF0000FF},
                            {-1, -1, 0.5f, 0, 0, -1, 0xFF0000FF}, {1, -1, 0.5f, 0, 0, -1, 0xFF0000FF}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  // Diffuse source COLOR1 (blue) × light diffuse 1 × N·L 1.
  EXPECT_TRUE(ColorNear(device.Pixel(32, 32), 0x0000ff, 0));
}

TEST_F(Lighting, LitAlphaIsTheDiffuseSourceAlpha) {
  // No lights, default material: rgb 0, alpha from COLOR1.
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
  DrawFullScreenColor(device.device, 0x80FF00FF);
  EXPECT_TRUE(ColorNear(device.Pixel(32, 32), 0x808080, 1));
  // With the material as diffuse source, the material's alpha 1.
  D3DMATERIAL9 material{};
  material.Diffuse = {0, 0, 0, 1};
  device->SetMaterial(&material);
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
  DrawFullScreenColor(device.device, 0x80FF00FF);
  EXPECT_TRUE(ColorNear(device.Pixel(32, 32), 0xffffff, 0));
}

TEST_F(Lighting, SpecularOfEachLightTypeWithAndWithoutTheLocalViewer) {
  D3DMATERIAL9 material{};
  material.Specular = {1, 1, 1, 1};
  material.Power = 30;
  device->SetMaterial(&material);
  device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  device->LightEnable(0, TRUE);
  struct {
    const char* name;
    D3DLIGHT9 light;
    BOOL local;
    std::vector<int> expected;
  } cases[] = {
      // V = (0, 0, −1) without the local viewer: H = N everywhere.
      {"directional", SpecularOnly(D3DLIGHT_DIRECTIONAL), FALSE,
       {255, 255, 255, 255, 255, 255, 255, 255, 255}},
      // (N·H)^30 at (0, 0.5, 1): 0.9732^30 = 0.443; at (−0.5, 0.5, 1): 0.9530^30 = 0.236.
      {"directional, local viewer", SpecularOnly(D3DLIGHT_DIRECTIONAL), TRUE,
       {0x3c, 0x71, 0x3c, 0x71, 0xff, 0x71, 0x3c, 0x71, 0x3c}},
      // Attenuation 1/d²: 0.443·0.8 = 0.354 at the edge centres.
      {"point", SpecularOnly(D3DLIGHT_POINT), FALSE,
       {0x28, 0x5a, 0x28, 0x5a, 0xff, 0x5a, 0x28, 0x5a, 0x28}},
      {"point, local viewer", SpecularOnly(D3DLIGHT_POINT), TRUE,
       {0x00, 0x07, 0x00, 0x07, 0xff, 0x07, 0x00, 0x07, 0x00}},
      // ρ = 0.894 between cos(φ/2) = 0.866 and cos(θ/2) = 0.991: spot 0.227.
      {"spot", SpecularOnly(D3DLIGHT_SPOT), FALSE,
       {0x00, 0x14, 0x00, 0x14, 0xff, 0x14, 0x00, 0x14, 0x00}},
      {"spot, local viewer", SpecularOnly(D3DLIGHT_SPOT), TRUE,
       {0x00, 0x02, 0x00, 0x02, 0xff, 0x02, 0x00, 0x02, 0x00}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    device->SetLight(0, &c.light);
    device->SetRenderState(D3DRS_LOCALVIEWER, c.local);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    DrawGrid(device.device);
    ExpectGrid(c.expected, 1);
  }
}

TEST_F(Lighting, PointLightRangeCutsOffEveryTerm) {
  D3DMATERIAL9 material{};
  material.Specular = {1, 1, 1, 1};
  material.Power = 30;
  device->SetMaterial(&material);
  device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  device->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
  D3DLIGHT9 light = SpecularOnly(D3DLIGHT_POINT);
  light.Range = 1.2f;  // the corners are 1.22 away
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  DrawGrid(device.device);
  ExpectGrid({0x00, 0x5a, 0x00, 0x5a, 0xff, 0x5a, 0x00, 0x5a, 0x00}, 1);

  // A light behind the surface gives no highlight even with power 0.
  material.Power = 0;
  device->SetMaterial(&material);
  light.Range = 100;
  light.Position = {-1.1f, 0, 1.1f};
  device->SetLight(0, &light);
  device->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
  DrawGrid(device.device);
  ExpectGrid({0, 0, 0, 0, 0, 0, 0, 0, 0}, 0);
}

TEST_F(Lighting, PointLightDiffuseAndAmbientFollowTheAttenuation) {
  D3DMATERIAL9 material{};
  material.Diffuse = {1, 1, 1, 1};
  device->SetMaterial(&material);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1, 1, 1, 1};
  light.Range = 100;
  light.Attenuation0 = 1;
  light.Attenuation1 = 1;
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  DrawGrid(device.device);
  // Centre: d = 1, N·L = 1, 1/(1 + d) = 0.5. Edge centre: d = 1.118, N·L = 0.894,
  // 0.894/2.118 = 0.422. Corner: d = 1.225, N·L = 0.816, 0.816/2.225 = 0.367.
  ExpectGrid({94, 108, 94, 108, 128, 108, 94, 108, 94}, 1);

  // Ambient light only: material ambient × light ambient × attenuation.
  material = D3DMATERIAL9{};
  material.Ambient = {1, 1, 1, 1};
  device->SetMaterial(&material);
  light.Diffuse = {0, 0, 0, 0};
  light.Ambient = {1, 1, 1, 1};
  device->SetLight(0, &light);
  DrawGrid(device.device);
  // 1/(1 + d): 0.5, 0.472, 0.449.
  ExpectGrid({115, 120, 115, 120, 128, 120, 115, 120, 115}, 1);
}

TEST_F(Lighting, SpotConeWithFalloff) {
  D3DMATERIAL9 material{};
  material.Diffuse = {1, 1, 1, 1};
  device->SetMaterial(&material);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_SPOT;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {0, 0, 1};
  light.Range = 100;
  light.Attenuation0 = 1;
  light.Theta = 0.5f;  // inner cos(0.25) = 0.9689
  light.Phi = 1.2f;    // outer cos(0.6) = 0.8253
  light.Falloff = 1;
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  DrawGrid(device.device);
  // Edge centres: ρ = N·L = 0.8944, spot (0.8944 − 0.8253)/(0.9689 − 0.8253) = 0.481,
  // 0.894·0.481 = 0.430. Corners: ρ = 0.8165 is outside the cone. Centre: inside, 1.
  ExpectGrid({0, 110, 0, 110, 255, 110, 0, 110, 0}, 2);
  light.Falloff = 2;  // 0.481² · 0.894 = 0.207
  device->SetLight(0, &light);
  DrawGrid(device.device);
  ExpectGrid({0, 53, 0, 53, 255, 53, 0, 53, 0}, 2);
}

TEST_F(Lighting, DirectionalLightFollowsTheViewMatrix) {
  D3DMATERIAL9 material{};
  material.Diffuse = {1, 1, 1, 1};
  device->SetMaterial(&material);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {1, 0, 0};  // world space: along +x, perpendicular to the normals
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  DrawGrid(device.device);
  ExpectGrid({0, 0, 0, 0, 0, 0, 0, 0, 0}, 0);
  // A view turning world +x into camera +z makes it shine straight at the grid; the
  // grid's world is turned the same way so it stays where it was.
  D3DMATRIX view{};
  view._13 = 1;   // x → z
  view._22 = 1;   // y → y
  view._31 = -1;  // z → −x
  view._44 = 1;
  D3DMATRIX world{};
  world._13 = -1;  // inverse of the view's rotation
  world._22 = 1;
  world._31 = 1;
  world._44 = 1;
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_WORLD, &world);
  DrawGrid(device.device);
  ExpectGrid({255, 255, 255, 255, 255, 255, 255, 255, 255}, 1);
}

TEST(MaterialSource, EachSourceWithAndWithoutVertexColours) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
  D3DMATERIAL9 material{};
  material.Ambient = {0, 0, 0.5f, 0};
  material.Emissive = {0, 0, 0.25f, 0};
  device->SetMaterial(&material);
  struct Both {
    float x, y, z;
    DWORD diffuse, specular;
  };
  struct One {
    float x, y, z;
    DWORD color;
  };
  auto draw = [&](DWORD fvf) {
    device->SetFVF(fvf);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    if ((fvf & D3DFVF_DIFFUSE) && (fvf & D3DFVF_SPECULAR)) {
      Both q[4] = {{-1, 1, 0.5f, 0xFFFF0000, 0xFF00FF00}, {1, 1, 0.5f, 0xFFFF0000, 0xFF00FF00},
                   {-1, -1, 0.5f, 0xFFFF0000, 0xFF00FF00}, {1, -1, 0.5f, 0xFFFF0000, 0xFF00FF00}};
      device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof q[0]);
    } else if (fvf & (D3DFVF_DIFFUSE | D3DFVF_SPECULAR)) {
      One q[4] = {{-1, 1, 0.5f, 0xFFFF0000}, {1, 1, 0.5f, 0xFFFF0000},
                  {-1, -1, 0.5f, 0xFFFF0000}, {1, -1, 0.5f, 0xFFFF0000}};
      device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof q[0]);
    } else {
      D3DVECTOR q[4] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}, {1, -1, 0.5f}};
      device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof q[0]);
    }
    return device.Pixel(8, 8);
  };
  const DWORD both = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;
  const DWORD specularOnly = D3DFVF_XYZ | D3DFVF_SPECULAR;  // red specular
  const DWORD diffuseOnly = D3DFVF_XYZ | D3DFVF_DIFFUSE;    // red diffuse
  // Ambient colour × white global ambient + emissive colour; a missing vertex colour
  // falls back to the material's.
  struct {
    DWORD fvf;
    BOOL colorVertex;
    D3DMATERIALCOLORSOURCE ambient, emissive;
    DWORD expected;
  } cases[] = {
      {both, FALSE, D3DMCS_COLOR1, D3DMCS_COLOR2, 0x0000c0},
      {both, TRUE, D3DMCS_COLOR1, D3DMCS_COLOR2, 0xffff00},
      {both, TRUE, D3DMCS_MATERIAL, D3DMCS_COLOR2, 0x00ff80},
      {both, TRUE, D3DMCS_COLOR1, D3DMCS_MATERIAL, 0xff0040},
      {both, TRUE, D3DMCS_COLOR1, D3DMCS_COLOR1, 0xff0000},
      {both, TRUE, D3DMCS_COLOR2, D3DMCS_COLOR2, 0x00ff00},
      {specularOnly, TRUE, D3DMCS_COLOR1, D3DMCS_COLOR2, 0xff0080},
      {specularOnly, TRUE, D3DMCS_COLOR1, D3DMCS_MATERIAL, 0x0000c0},
      {specularOnly, TRUE, D3DMCS_MATERIAL, D3DMCS_COLOR2, 0xff0080},
      {diffuseOnly, TRUE, D3DMCS_COLOR1, D3DMCS_COLOR2, 0xff0040},
      {diffuseOnly, TRUE, D3DMCS_COLOR1, D3DMCS_MATERIAL, 0xff0040},
      {diffuseOnly, TRUE, D3DMCS_COLOR2, D3DMCS_MATERIAL, 0x0000c0},
      {D3DFVF_XYZ, TRUE, D3DMCS_COLOR1, D3DMCS_COLOR2, 0x0000c0},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << index++);
    device->SetRenderState(D3DRS_COLORVERTEX, c.colorVertex);
    device->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, c.ambient);
    device->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, c.emissive);
    EXPECT_TRUE(ColorNear(draw(c.fvf), c.expected, 1));
  }
}

TEST(MaterialSource, DiffuseAndSpecularSources) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 1, 1, 1};
  light.Direction = {0, 0, 1};
  device->SetLight(3, &light);
  device->LightEnable(3, TRUE);
  D3DMATERIAL9 material{};
  material.Diffuse = {0, 0.5f, 0, 1};
  device->SetMaterial(&material);
  PosNormalColor quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0xFFFF0000}, {1, 1, 0.5f, 0, 0, -1, 0xFFFF0000},
                            {-1, -1, 0.5f, 0, 0, -1, 0xFFFF0000}, {1, -1, 0.5f, 0, 0, -1, 0xFFFF0000}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xff0000, 0));  // COLOR1 by default
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x008000, 1));
  device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x008000, 1));  // vertex colours ignored
}

TEST(LightState, LightValuesAreCheckedAndReadBack) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  D3DLIGHT9 light{};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->GetLight(5, &light));  // never set
  light.Type = static_cast<D3DLIGHTTYPE>(7);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetLight(5, &light));
  light.Type = D3DLIGHT_SPOT;
  light.Range = 10;
  light.Theta = 1.0f;
  light.Phi = 0.5f;  // outer cone narrower than the inner one
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetLight(5, &light));
  light.Phi = 1.5f;
  light.Attenuation2 = 0.25f;
  ASSERT_HR(device->SetLight(5, &light));
  D3DLIGHT9 back{};
  ASSERT_HR(device->GetLight(5, &back));
  EXPECT_EQ(back.Phi, 1.5f);
  EXPECT_EQ(back.Attenuation2, 0.25f);
  WINBOOL enabled = TRUE;
  device->GetLightEnable(5, &enabled);
  EXPECT_EQ(enabled, FALSE);
  for (DWORD i = 10; i < 18; ++i) EXPECT_EQ(device->LightEnable(i, TRUE), D3D_OK);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->LightEnable(5, TRUE));  // a ninth active light
  D3DMATERIAL9 material{};
  material.Power = 12.5f;
  material.Emissive = {0.1f, 0.2f, 0.3f, 0.4f};
  device->SetMaterial(&material);
  D3DMATERIAL9 readBack{};
  device->GetMaterial(&readBack);
  EXPECT_EQ(readBack.Power, 12.5f);
  EXPECT_EQ(readBack.Emissive.b, 0.3f);
}
