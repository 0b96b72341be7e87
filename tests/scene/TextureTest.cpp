// Texture: the stage, sampler and coordinate-transform states of each mode, the
// coordinate matrix, the device's stage limit, the format check, and the texture
// cache (one decode per file per scene graph, failures fatal).
#include <gtest/gtest.h>

#include <bit>
#include <filesystem>

#include "platform/d3d9/d3d9host.h"
#include "scene/SceneRenderSupport.h"

namespace {

class TextureApply : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.ok());
    texture = scene.LoadTexture(WriteRgbPicture(folder, "t.png", 2, 2, {1, 2, 3, 4}));
  }
  DWORD Stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    return StageState(scene.device, stage, type);
  }
  DWORD Sampler(DWORD stage, D3DSAMPLERSTATETYPE type) {
    return SamplerState(scene.device, stage, type);
  }
  D3DMATRIX TextureMatrix(DWORD stage) {
    D3DMATRIX m{};
    scene.device->GetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), &m);
    return m;
  }

  TempDir folder;
  HeadlessScene scene;
  Texture* texture = nullptr;
};

TEST_F(TextureApply, EachModeSetsTheStatesOfItsRow) {
  struct Row {
    TextureMode mode;
    DWORD colorOp, alphaOp, arg0, arg1, arg2, coordinates, transform, address;
  };
  const DWORD kAny = 0xFFFFFFFF;  // the row leaves the argument alone
  const Row rows[] = {
      {TextureMode::kDiffuse, D3DTOP_MODULATE, D3DTOP_MODULATE, kAny, D3DTA_TEXTURE, D3DTA_CURRENT, 0,
       D3DTTFF_COUNT2, D3DTADDRESS_WRAP},
      {TextureMode::kSphere, D3DTOP_ADDSMOOTH, D3DTOP_SELECTARG2, kAny, D3DTA_TEXTURE, D3DTA_CURRENT,
       D3DTSS_TCI_SPHEREMAP, D3DTTFF_COUNT2, D3DTADDRESS_CLAMP},
      {TextureMode::kSpecular, D3DTOP_MULTIPLYADD, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_SPECULAR, D3DTA_TEXTURE, 0,
       D3DTTFF_COUNT2, D3DTADDRESS_WRAP},
      {TextureMode::kAdd, D3DTOP_ADD, D3DTOP_MODULATE, kAny, D3DTA_TEXTURE, D3DTA_CURRENT, 0, D3DTTFF_COUNT2,
       D3DTADDRESS_WRAP},
      {TextureMode::kLightMap, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, kAny, D3DTA_TEXTURE, kAny, 1, D3DTTFF_DISABLE,
       D3DTADDRESS_WRAP},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.mode));
    const DWORD s = 2;  // a stage other than 0, to see the counter at work
    for (auto type : {D3DTSS_COLORARG0, D3DTSS_COLORARG2, D3DTSS_ALPHAARG0})
      scene.device->SetTextureStageState(s, type, D3DTA_TEMP);
    scene.device->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    scene.device->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    scene.device->SetSamplerState(s, D3DSAMP_MAXMIPLEVEL, 3);
    std::uint32_t counter = s;
    texture->apply(counter, row.mode);
    EXPECT_EQ(counter, s + 1);
    EXPECT_EQ(Stage(s, D3DTSS_COLOROP), row.colorOp);
    EXPECT_EQ(Stage(s, D3DTSS_ALPHAOP), row.alphaOp);
    EXPECT_EQ(Stage(s, D3DTSS_COLORARG0), row.arg0 == kAny ? DWORD{D3DTA_TEMP} : row.arg0);
    EXPECT_EQ(Stage(s, D3DTSS_COLORARG1), row.arg1);
    EXPECT_EQ(Stage(s, D3DTSS_COLORARG2), row.arg2 == kAny ? DWORD{D3DTA_TEMP} : row.arg2);
    EXPECT_EQ(Stage(s, D3DTSS_ALPHAARG0), row.mode == TextureMode::kAdd ? DWORD{D3DTA_CURRENT} : DWORD{D3DTA_TEMP});
    EXPECT_EQ(Stage(s, D3DTSS_ALPHAARG1), DWORD{D3DTA_TEXTURE});
    EXPECT_EQ(Stage(s, D3DTSS_ALPHAARG2), DWORD{D3DTA_CURRENT});
    EXPECT_EQ(Stage(s, D3DTSS_TEXCOORDINDEX), row.coordinates);
    EXPECT_EQ(Stage(s, D3DTSS_TEXTURETRANSFORMFLAGS), row.transform);
    EXPECT_EQ(Sampler(s, D3DSAMP_ADDRESSU), row.address);
    EXPECT_EQ(Sampler(s, D3DSAMP_ADDRESSV), row.address);
    EXPECT_EQ(Sampler(s, D3DSAMP_MAXMIPLEVEL), row.mode == TextureMode::kDiffuse || row.mode == TextureMode::kLightMap ? 0u : 3u);
    EXPECT_EQ(Sampler(s, D3DSAMP_MAGFILTER), DWORD{D3DTEXF_LINEAR});
    EXPECT_EQ(Sampler(s, D3DSAMP_MINFILTER), DWORD{D3DTEXF_LINEAR});
    EXPECT_EQ(Sampler(s, D3DSAMP_MIPFILTER), DWORD{D3DTEXF_LINEAR});
    EXPECT_EQ(Sampler(s, D3DSAMP_MIPMAPLODBIAS), std::bit_cast<DWORD>(-1.0f));
    EXPECT_EQ(StageTexture(scene.device, s), texture->texture);
  }
}

TEST_F(TextureApply, TheSphereMapModulatesDuringTheGlowPass) {
  scene.cache().glowPass = 1;
  std::uint32_t counter = 0;
  texture->apply(counter, TextureMode::kSphere);
  EXPECT_EQ(Stage(0, D3DTSS_COLOROP), DWORD{D3DTOP_MODULATE});
}

TEST_F(TextureApply, TheCoordinateMatrixScalesAboutTheCentreWithOppositeOffsets) {
  texture->uScale = 2;
  texture->vScale = 0.5f;
  texture->uOffset = 0.25f;
  texture->vOffset = 0.125f;
  std::uint32_t counter = 1;
  texture->apply(counter, TextureMode::kDiffuse);
  const D3DMATRIX m = TextureMatrix(1);
  // (u, v, 1, 0) * M: u' = (u - 0.5) * 2 + 0.5 - 0.25, v' = (v - 0.5) * 0.5 + 0.5 + 0.125.
  auto map = [&](float u, float v) {
    return std::pair{u * m._11 + v * m._21 + m._31, u * m._12 + v * m._22 + m._32};
  };
  EXPECT_FLOAT_EQ(map(0, 0).first, -0.75f);
  EXPECT_FLOAT_EQ(map(1, 0).first, 1.25f);
  EXPECT_FLOAT_EQ(map(0, 0).second, 0.375f);
  EXPECT_FLOAT_EQ(map(0, 1).second, 0.875f);
  EXPECT_EQ(m._41, 0.0f);
  EXPECT_EQ(m._42, 0.0f);
  EXPECT_EQ(m._33, 1.0f);
  EXPECT_EQ(m._44, 1.0f);
}

TEST_F(TextureApply, TheLightMapModeLeavesTheStagesMatrixAlone) {
  D3DMATRIX before = TextureMatrix(0);
  before._31 = 7;
  scene.device->SetTransform(D3DTS_TEXTURE0, &before);
  texture->uScale = 3;
  std::uint32_t counter = 0;
  texture->apply(counter, TextureMode::kLightMap);
  EXPECT_EQ(TextureMatrix(0)._31, 7.0f);
  EXPECT_EQ(TextureMatrix(0)._11, 1.0f);
}

TEST_F(TextureApply, UScaleTwoShowsThePictureTwiceAcross) {
  // A left-dark, right-bright picture on a quad over the middle of the view.
  const std::string path = WriteRgbPicture(folder, "halves.png", 8, 8, [] {
    std::vector<std::uint32_t> texels;
    for (int i = 0; i < 64; ++i) texels.push_back(i % 8 < 4 ? 0x000000u : 0xFFFFFFu);
    return texels;
  }());
  scene.AddCamera();
  scene.graph->ambient = {1, 1, 1, 1};
  Material* material = scene.ColorMaterial({1, 1, 1, 1});
  Texture* halves = scene.LoadTexture(path);
  halves->uScale = 2;
  material->diffuseMap.Set(halves->id);
  scene.Quad(scene.Root(), material, -13.333f, -5, 13.333f, 5);  // the full width
  scene.Prepare();
  scene.Render();
  // u' runs -0.5..1.5 across the 64 columns, wrapped: one whole copy in the middle
  // half (dark, bright) with half a copy each side: quarters bright, dark, bright,
  // dark, centred on columns 8, 24, 40, 56.
  const int expected[] = {255, 0, 255, 0};
  for (int quarter = 0; quarter < 4; ++quarter)
    EXPECT_TRUE(RgbNear(scene.Pixel(8 + 16 * quarter, 24),
                        {expected[quarter], expected[quarter], expected[quarter]}, 3))
        << quarter;
}

TEST(TextureStages, WithTwoSimultaneousTexturesAThirdLayerIsSkipped) {
  D3DCAPS9 caps{};
  {
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    d3d->Release();
  }
  caps.MaxSimultaneousTextures = 2;
  D3D9SetCapsOverride(&caps);
  {
    TempDir folder;
    HeadlessScene scene;
    ASSERT_TRUE(scene.ok());
    Texture* texture = scene.LoadTexture(WriteRgbPicture(folder, "t.png", 1, 1, {0}));
    EXPECT_EQ(texture->maxStages, 2u);
    std::uint32_t counter = 0;
    for (int layer = 0; layer < 3; ++layer) texture->apply(counter, TextureMode::kDiffuse);
    EXPECT_EQ(counter, 2u);
    EXPECT_EQ(StageTexture(scene.device, 1), texture->texture);
    EXPECT_EQ(StageTexture(scene.device, 2), nullptr);
    EXPECT_EQ(StageState(scene.device, 2, D3DTSS_COLOROP), DWORD{D3DTOP_DISABLE});
  }
  D3D9SetCapsOverride(nullptr);
}

class TextureCache : public ::testing::Test {
 protected:
  TempDir folder;
};

TEST_F(TextureCache, FormatsSetTheAlphaFlag) {
  HeadlessScene scene;
  ASSERT_TRUE(scene.ok());
  Texture* rgba = scene.LoadTexture(WriteTarga(folder, "a.tga", 1, 1, 32, {0x80FF0000}));
  Texture* rgb = scene.LoadTexture(WriteRgbPicture(folder, "x.png", 1, 1, {0xFF0000}));
  Texture* grey = scene.LoadTexture(WriteTarga(folder, "l.tga", 1, 1, 8, {0x80}));
  EXPECT_TRUE(rgba->HasAlpha());
  EXPECT_FALSE(rgb->HasAlpha());
  EXPECT_TRUE(grey->HasAlpha());
  EXPECT_EQ(rgb->name, folder.file("x.png"));
  EXPECT_EQ(scene.graph->Create<Texture>(scene.graph->NextId())->name, "not loaded");
}

TEST_F(TextureCache, TwoMaterialsNamingOneFileShareOneTextureReadOnce) {
  const std::string path = WriteRgbPicture(folder, "shared.png", 2, 2, {1, 2, 3, 4});
  HeadlessScene scene;
  ASSERT_TRUE(scene.ok());
  Texture* first = scene.LoadTexture(path);
  std::filesystem::remove(path);  // a second read would now fail
  Texture* second = scene.LoadTexture(path);
  EXPECT_EQ(first->texture, second->texture);
  EXPECT_EQ(scene.cache().textures.size(), 1u);
  Material* a = scene.ColorMaterial({1, 1, 1, 1});
  Material* b = scene.ColorMaterial({1, 1, 1, 1});
  a->diffuseMap.Set(first->id);
  b->diffuseMap.Set(second->id);
  EXPECT_EQ(a->diffuseMap.Resolve()->texture, b->diffuseMap.Resolve()->texture);
  // The whole mipmap chain of a 2x2 picture.
  EXPECT_EQ(first->texture->GetLevelCount(), 2u);
}

TEST_F(TextureCache, EachSceneGraphDecodesItsOwn) {
  const std::string path = WriteRgbPicture(folder, "own.png", 1, 1, {7});
  HeadlessScene scene;
  ASSERT_TRUE(scene.ok());
  SceneGraph other(scene.device);
  IDirect3DTexture9* mine = scene.cache().LookupTexture(path);
  IDirect3DTexture9* theirs = other.cache->LookupTexture(path);
  EXPECT_NE(mine, theirs);
  EXPECT_EQ(scene.cache().LookupTexture(path), mine);
}

using TextureDeathTest = TextureCache;

TEST_F(TextureDeathTest, AMissingOrUndecodableFileEndsTheShowNamingIt) {
  HeadlessScene scene;
  ASSERT_TRUE(scene.ok());
  // The message names the file (a death test may run in a fresh process, with its own
  // temporary folder, so only the file's own name is matched).
  EXPECT_EXIT(scene.LoadTexture(folder.file("absent.png")), ::testing::ExitedWithCode(0),
              "Error: Texture load failed: /.*/absent.png\n");
  const std::string garbage = folder.write("garbage.png", "not a picture at all");
  EXPECT_EXIT(scene.LoadTexture(garbage), ::testing::ExitedWithCode(0),
              "Error: Texture load failed: /.*/garbage.png\n");
  const std::string empty = folder.write("empty.png", "");
  EXPECT_EXIT(scene.LoadTexture(empty), ::testing::ExitedWithCode(0),
              "Error: Texture load failed: /.*/empty.png\n");
}

TEST_F(TextureDeathTest, AnUnsupportedFormatEndsTheShow) {
  HeadlessScene scene;
  ASSERT_TRUE(scene.ok());
  // Grey with alpha loads as A8L8.
  const std::string path = WriteTarga(folder, "greyalpha.tga", 1, 1, 16, {0x80000040});
  EXPECT_EXIT(scene.LoadTexture(path), ::testing::ExitedWithCode(0),
              "Unknown texture format: .*greyalpha.tga\nError: Unknown texture format\n");
}

}  // namespace
