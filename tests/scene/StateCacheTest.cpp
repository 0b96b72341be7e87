// StateCache: the aspect's bit pattern, light indices (never reused, left on when
// their scene is freed), a light the device refuses,
// stage resets, buffer creation and the render target from a texture.
#include <gtest/gtest.h>

#include <bit>

#include "scene/SceneRenderSupport.h"
#include "support/HResult.h"

namespace {

class StateCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.ok()); }
  bool Enabled(DWORD index) {
    WINBOOL enabled = FALSE;
    scene.device->GetLightEnable(index, &enabled);
    return enabled != FALSE;
  }
  static D3DLIGHT9 Directional(float red) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {red, 0, 0, 1};
    light.Direction = {0, 0, 1};
    return light;
  }

  HeadlessScene scene;
};

TEST_F(StateCacheTest, AspectIsTheFixedBitPattern) {
  EXPECT_EQ(std::bit_cast<std::uint32_t>(scene.cache().aspect), 0x3FAAAA8Fu);
  EXPECT_EQ(scene.cache().nextLightIndex, 0);
}

TEST_F(StateCacheTest, LightIndicesAreHandedOutInOrderAndNeverReused) {
  StateCache& cache = scene.cache();
  const D3DLIGHT9 red = Directional(1), dim = Directional(0.5f);
  std::int32_t first = -1, second = -1;
  cache.SetLight(&red, first);
  cache.SetLight(&dim, second);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  EXPECT_TRUE(Enabled(0));
  EXPECT_TRUE(Enabled(1));
  D3DLIGHT9 set{};
  scene.device->GetLight(1, &set);
  EXPECT_EQ(set.Diffuse.r, 0.5f);

  cache.SetLight(nullptr, first);  // switched off, the index kept
  EXPECT_EQ(first, 0);
  EXPECT_FALSE(Enabled(0));
  std::int32_t third = -1;
  cache.SetLight(&red, third);
  EXPECT_EQ(third, 2);
  cache.SetLight(&dim, first);  // a known index is used again by its own light
  EXPECT_EQ(first, 0);
  EXPECT_TRUE(Enabled(0));
  EXPECT_EQ(cache.nextLightIndex, 3);
}

TEST_F(StateCacheTest, LightsStayOnWhenTheSceneThatSetThemIsFreed) {
  // Two scenes share index 0 (a new state cache numbers from 0 again): freeing the
  // one that set it first must not darken the other.
  const D3DLIGHT9 old0 = Directional(1), old1 = Directional(0.75f), same = Directional(1);
  auto previous = std::make_unique<StateCache>(scene.device);
  std::int32_t a = -1, b = -1;
  previous->SetLight(&old0, a);
  previous->SetLight(&old1, b);
  std::int32_t mine = -1;
  scene.cache().SetLight(&same, mine);
  ASSERT_EQ(mine, 0);
  previous.reset();
  EXPECT_TRUE(Enabled(0));
  EXPECT_TRUE(Enabled(1));  // left as the freed scene left it
  D3DLIGHT9 kept{};
  scene.device->GetLight(1, &kept);
  EXPECT_EQ(kept.Diffuse.r, 0.75f);

  // A whole scene graph replaced: its lights too stay enabled.
  Light* light = scene.Node<Light>(scene.Root(), 0, 1, 0);
  light->deviceLight.Type = D3DLIGHT_DIRECTIONAL;
  scene.Prepare();
  scene.graph = std::make_unique<SceneGraph>(scene.device);
  EXPECT_TRUE(Enabled(0));
}

TEST_F(StateCacheTest, ALightTheDeviceRefusesIsEnabledAsTheDeviceLeavesIt) {
  D3DLIGHT9 spot{};
  spot.Type = D3DLIGHT_SPOT;
  spot.Diffuse = {0, 1, 0, 1};
  spot.Direction = {0, 1, 0};
  spot.Range = 10;
  spot.Attenuation0 = 1;
  spot.Theta = 0.5f;
  spot.Phi = 4.0f;  // wider than pi: refused
  std::int32_t index = -1;
  scene.cache().SetLight(&spot, index);
  EXPECT_EQ(index, 0);
  // An index that was never set holds the device's default light: white, directional.
  EXPECT_TRUE(Enabled(0));
  D3DLIGHT9 shown{};
  scene.device->GetLight(0, &shown);
  EXPECT_EQ(shown.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(shown.Diffuse.r, 1.0f);
  EXPECT_EQ(shown.Direction.z, 1.0f);
  // One that held a light keeps it.
  spot.Phi = 1.0f;
  scene.cache().SetLight(&spot, index);
  D3DLIGHT9 lightType0 = spot;
  lightType0.Type = static_cast<D3DLIGHTTYPE>(0);
  scene.cache().SetLight(&lightType0, index);
  EXPECT_TRUE(Enabled(0));
  scene.device->GetLight(0, &shown);
  EXPECT_EQ(shown.Type, D3DLIGHT_SPOT);
  EXPECT_EQ(shown.Diffuse.g, 1.0f);
}

TEST_F(StateCacheTest, ResetStagesClearsFromTheFirstStageOn) {
  IDirect3DDevice9* device = scene.device;
  TempDir folder;
  Texture* texture = scene.LoadTexture(WriteRgbPicture(folder, "t.png", 1, 1, {0}));
  for (DWORD stage = 0; stage < 8; ++stage) {
    device->SetTexture(stage, texture->texture);
    device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 7 - stage);
  }
  scene.cache().ResetStages(3);
  for (DWORD stage = 0; stage < 8; ++stage) {
    SCOPED_TRACE(stage);
    const bool reset = stage >= 3;
    EXPECT_EQ(StageTexture(device, stage), reset ? nullptr : texture->texture);
    EXPECT_EQ(StageState(device, stage, D3DTSS_TEXTURETRANSFORMFLAGS),
              reset ? DWORD{D3DTTFF_DISABLE} : DWORD{D3DTTFF_COUNT2});
    EXPECT_EQ(StageState(device, stage, D3DTSS_TEXCOORDINDEX), reset ? stage : 7 - stage);
  }
}

TEST_F(StateCacheTest, BuffersAreManagedWriteOnlyAndSizedFromTheirData) {
  VertexBuffer* vertices = scene.graph->Create<VertexBuffer>(scene.graph->NextId(), 5u);
  IndexBuffer* indices = scene.graph->Create<IndexBuffer>(scene.graph->NextId());
  indices->triangleCount = 3;
  ASSERT_TRUE(scene.cache().CreateVertexBuffer(*vertices));
  ASSERT_TRUE(scene.cache().CreateIndexBuffer(*indices));
  D3DVERTEXBUFFER_DESC vertexDesc{};
  vertices->deviceBuffer->GetDesc(&vertexDesc);
  EXPECT_EQ(vertexDesc.Size, 200u);
  EXPECT_EQ(vertexDesc.FVF, 0x212u);
  EXPECT_EQ(vertexDesc.Pool, D3DPOOL_MANAGED);
  EXPECT_EQ(vertexDesc.Usage, DWORD{D3DUSAGE_WRITEONLY});
  D3DINDEXBUFFER_DESC indexDesc{};
  indices->deviceBuffer->GetDesc(&indexDesc);
  EXPECT_EQ(indexDesc.Size, 18u);
  EXPECT_EQ(indexDesc.Format, D3DFMT_INDEX16);
  EXPECT_EQ(indexDesc.Pool, D3DPOOL_MANAGED);
  // Nothing to hold: the device refuses, the caller reports it.
  VertexBuffer* none = scene.graph->Create<VertexBuffer>(scene.graph->NextId(), 0u);
  EXPECT_FALSE(scene.cache().CreateVertexBuffer(*none));
}

TEST_F(StateCacheTest, TheRenderTargetTextureIsItsFirstLevel) {
  IDirect3DTexture9* target = nullptr;
  ASSERT_HR(scene.device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                        D3DPOOL_DEFAULT, &target, nullptr));
  scene.cache().SetRenderTargetTexture(target);
  IDirect3DSurface9* level = nullptr;
  IDirect3DSurface9* current = nullptr;
  target->GetSurfaceLevel(0, &level);
  scene.device->GetRenderTarget(0, &current);
  EXPECT_EQ(level, current);
  current->Release();
  level->Release();
  IDirect3DSurface9* back = nullptr;
  scene.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  scene.device->SetRenderTarget(0, back);
  back->Release();
  // The cache kept no reference: this is the last one.
  EXPECT_EQ(target->Release(), 0u);
}

}  // namespace
