// Scenes built in code and drawn headless through the default pipeline; the
// expected pixels are worked out from the fixed-function rules (lighting per
// vertex, stage 0 modulating the texture with the lit colour, the blend equations
// on an X8R8G8B8 target, whose destination alpha reads as 1). Tolerance: 3 of 255
// per channel, for the rasterizer's rounding and filtering.
#include <gtest/gtest.h>

#include "scene/SceneRenderSupport.h"

namespace {

constexpr int kTolerance = 3;

// 8x8: the left half (200, 100, 40), the right half (40, 160, 220).
std::string TwoToneTexture(const TempDir& folder) {
  std::vector<std::uint32_t> texels;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) texels.push_back(x < 4 ? 0xC86428u : 0x28A0DCu);
  return WriteRgbPicture(folder, "twotone.png", 8, 8, texels);
}

class SceneRender : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.ok()); }
  void TearDown() override {
    if (HasFailure()) scene.Save(folder.file("frame.png"));
  }
  // A camera and a textured +-5 quad at y = 0: on screen columns 20..44, rows 12..36.
  Material* TexturedQuad(D3DCOLORVALUE ambient) {
    scene.AddCamera();
    Material* material = scene.ColorMaterial(ambient);
    material->diffuseMap.Set(scene.LoadTexture(TwoToneTexture(folder))->id);
    scene.Quad(scene.Root(), material, -5, -5, 5, 5);
    return material;
  }
  Light* AddLight(D3DLIGHTTYPE type, float x, float y, float z) {
    Light* light = scene.Node<Light>(scene.Root(), x, y, z);
    light->deviceLight.Type = type;
    light->deviceLight.Range = 100;
    light->color = {1.0f, 0.5f, 0.25f, 1.0f};
    light->intensity = 0.8f;  // diffuse (0.8, 0.4, 0.2)
    return light;
  }

  TempDir folder;
  HeadlessScene scene;
};

TEST_F(SceneRender, AmbientOnlyModulatesTheTextureWithMaterialAmbientTimesSceneAmbient) {
  TexturedQuad({1.0f, 0.5f, 0.25f, 1});
  scene.graph->ambient = {0.6f, 0.6f, 0.6f, 1};  // packed 153 = 0.6
  scene.Prepare();
  scene.Render();
  // Lit colour Ca * Ga = (0.6, 0.3, 0.15); left texel (200, 100, 40) -> (120, 30, 6),
  // right texel (40, 160, 220) -> (24, 48, 33).
  EXPECT_TRUE(RgbNear(scene.Pixel(25, 24), {120, 30, 6}, kTolerance));
  EXPECT_TRUE(RgbNear(scene.Pixel(39, 24), {24, 48, 33}, kTolerance));
  EXPECT_TRUE(RgbNear(scene.Pixel(25, 14), {120, 30, 6}, kTolerance));
  // Outside the quad: the black clear.
  EXPECT_TRUE(RgbNear(scene.Pixel(10, 24), {0, 0, 0}, 0));
  EXPECT_TRUE(RgbNear(scene.Pixel(32, 5), {0, 0, 0}, 0));
}

TEST_F(SceneRender, ADirectionalLightFromTheCameraSideLightsTheFaceFully) {
  TexturedQuad({1, 1, 1, 1});
  // Identity rotation: direction = the negated y axis, straight down onto the quad.
  AddLight(D3DLIGHT_DIRECTIONAL, 0, 3, 0);
  scene.Prepare();
  scene.Render();
  // N.L = 1, material diffuse white (a diffuse map): Ld = (0.8, 0.4, 0.2) times the
  // texel: (200, 100, 40) -> (160, 40, 8); (40, 160, 220) -> (32, 64, 44).
  EXPECT_TRUE(RgbNear(scene.Pixel(25, 24), {160, 40, 8}, kTolerance));
  EXPECT_TRUE(RgbNear(scene.Pixel(39, 30), {32, 64, 44}, kTolerance));
}

TEST_F(SceneRender, APointLightIsAttenuatedByDistance) {
  TexturedQuad({1, 1, 1, 1});
  Light* light = AddLight(D3DLIGHT_POINT, 0, 5, 0);
  light->deviceLight.Attenuation1 = 0.1f;
  scene.Prepare();
  scene.Render();
  // Every corner (+-5, 0, +-5) is d = sqrt(75) from the light: N.L = 5 / d, attenuation
  // 1 / (0.1 d), together 5 / 7.5 = 2/3, the same at all four vertices. Texel times
  // Ld * 2/3: (200, 100, 40) -> (106.7, 26.7, 5.3); (40, 160, 220) -> (21.3, 42.7, 29.3).
  EXPECT_TRUE(RgbNear(scene.Pixel(25, 24), {107, 27, 5}, kTolerance));
  EXPECT_TRUE(RgbNear(scene.Pixel(39, 18), {21, 43, 29}, kTolerance));
}

// Untextured quads lit by a white scene ambient show their ambient colour exactly;
// their alpha is the diffuse alpha Apply works out (opacity cubed without a texture).
class SceneBlend : public SceneRender {
 protected:
  void SetUp() override {
    SceneRender::SetUp();
    scene.AddCamera();
    scene.graph->ambient = {1, 1, 1, 1};
  }
  // The opaque background D = (0.2, 0.4, 0.1) over the whole view, at y = 0.
  void Background() { scene.Quad(scene.Root(), scene.ColorMaterial({0.2f, 0.4f, 0.1f, 1}), -20, -20, 20, 20); }
  // S = (0.8, 0.6, 1.0) in front, at y = 2: columns 26..38, rows 18..30.
  Group* Front(float opacity, int blendMode) {
    return scene.Quad(scene.Root(), scene.ColorMaterial({0.8f, 0.6f, 1.0f, 1}, opacity, blendMode),
                      -2, -2, 2, 2, 2.0f);
  }
};

TEST_F(SceneBlend, EachBlendModeOverAnOpaqueBackground) {
  struct Case {
    float opacity;
    int blendMode;
    float visibility;
    Rgb expected;
  };
  const Case cases[] = {
      // Mode 0: S * As - D * 1, As = 0.9^3 = 0.729: (0.383, 0.037, 0.629).
      {0.9f, 0, 1.0f, {98, 9, 160}},
      // Mode 1: S * As + D: As = 0.125 (0.5^3): (0.3, 0.475, 0.225).
      {0.5f, 1, 1.0f, {77, 121, 57}},
      // Mode 2: S * As + D * (1 - As), As = 0.125: (0.275, 0.425, 0.2125).
      {0.5f, 2, 1.0f, {70, 108, 54}},
      // Visibility 0.75: v = 0.5 turns mode 2 additive; As = 1 * 0.5: (0.6, 0.7, 0.6).
      {1.0f, 2, 0.75f, {153, 179, 153}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "blend mode " << c.blendMode << ", visibility " << c.visibility);
    scene.graph = std::make_unique<SceneGraph>(scene.device);
    scene.AddCamera();
    scene.graph->ambient = {1, 1, 1, 1};
    Background();
    Front(c.opacity, c.blendMode)->visibility = c.visibility;
    scene.Prepare();
    scene.Render();
    EXPECT_TRUE(RgbNear(scene.Pixel(32, 24), c.expected, kTolerance));
    EXPECT_TRUE(RgbNear(scene.Pixel(32, 8), {51, 102, 26}, kTolerance));  // background only
  }
}

TEST_F(SceneBlend, OpaqueDrawsBeforeTransparentWhateverTheTreeOrder) {
  // The transparent quad comes first in the tree and writes depth (mode 2): drawn
  // first it would hide the background behind it.
  Front(0.5f, 2);
  Background();
  scene.Prepare();
  scene.Render();
  EXPECT_TRUE(RgbNear(scene.Pixel(32, 24), {70, 108, 54}, kTolerance));
}

TEST_F(SceneBlend, AHiddenNodeDrawsNothingOfItsOwnButItsChildrenStillDraw) {
  Group* parent = Front(1.0f, 0);
  parent->visibility = 0.5f;
  // The child: a quad over x 6..9, z -2..2 at y = 0 (columns 46..54), under the hidden node.
  scene.Quad(parent, scene.ColorMaterial({0.2f, 0.4f, 0.1f, 1}), 6, -2, 9, 2);
  scene.Prepare();
  scene.Render();
  EXPECT_TRUE(RgbNear(scene.Pixel(32, 24), {0, 0, 0}, 0));
  EXPECT_TRUE(RgbNear(scene.Pixel(50, 24), {51, 102, 26}, kTolerance));
}

TEST_F(SceneBlend, TheSkyboxFollowsTheCameraAndIsDrawnBeneathEverythingWithoutDepth) {
  // Skybox: drawn unlit, so white (a vertex without colour), a quad 1 unit below its own origin, close in front of the camera once the
  // skybox sits at the camera: +-2 at distance 1 covers the whole view.
  Group* sky = scene.Quad(nullptr, scene.ColorMaterial({0.8f, 0.6f, 1.0f, 1}), -2, -2, 2, 2, -1.0f);
  scene.graph->skybox = sky;
  // The scene's quad, farther away than the skybox's: it still covers it.
  scene.Quad(scene.Root(), scene.ColorMaterial({0.2f, 0.4f, 0.1f, 1}), -5, -5, 5, 5);
  scene.Prepare();
  scene.Render();
  EXPECT_TRUE(RgbNear(scene.Pixel(32, 24), {51, 102, 26}, kTolerance));
  EXPECT_TRUE(RgbNear(scene.Pixel(5, 5), {255, 255, 255}, kTolerance));  // the sky: unlit, white

  // Far off to the side: the scene's quad leaves the view, the sky comes along.
  Camera* camera = scene.graph->activeCamera;
  camera->transform.position = D3DXVECTOR3(100, 10, 0);
  camera->Update(true);
  scene.Render();
  EXPECT_TRUE(RgbNear(scene.Pixel(32, 24), {255, 255, 255}, kTolerance));
  EXPECT_TRUE(RgbNear(scene.Pixel(5, 5), {255, 255, 255}, kTolerance));
  EXPECT_FLOAT_EQ(sky->worldMatrix._41, 100.0f);
  EXPECT_FLOAT_EQ(sky->worldMatrix._42, 10.0f);
}

}  // namespace
