// Material::Link and Apply read back through the device's getters: each row of the
// blend table, visibility to v, the opacity scaling (single- and double-precision
// 0.99), the texture layers' stages, the light-map and specular rules, the glow
// pass, and the control field.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "scene/SceneRenderSupport.h"

namespace {

class MaterialApply : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.ok()); }
  IDirect3DDevice9* device() { return scene.device; }
  DWORD State(D3DRENDERSTATETYPE state) { return RenderState(device(), state); }
  Material* Linked(float opacity, int blendMode) {
    Material* material = scene.ColorMaterial({0.5f, 0.5f, 0.5f, 1}, opacity, blendMode);
    material->diffuseColor = {0.25f, 0.5f, 0.75f, 0};
    return material;
  }
  Texture* AlphaTexture() {
    return scene.LoadTexture(WriteTarga(folder, "alpha.tga", 2, 2, 32, {0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF}));
  }
  Texture* OpaqueTexture(const std::string& name = "opaque.png") {
    return scene.LoadTexture(WriteRgbPicture(folder, name, 2, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));
  }
  float DiffuseAlpha() {
    D3DMATERIAL9 applied{};
    device()->GetMaterial(&applied);
    return applied.Diffuse.a;
  }
  // States Apply must overwrite when it uses them, set to values it never chooses.
  void Scramble() {
    device()->SetRenderState(D3DRS_ZWRITEENABLE, 77);
    device()->SetRenderState(D3DRS_ALPHABLENDENABLE, 77);
    device()->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_REVSUBTRACT);
    device()->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device()->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    device()->SetRenderState(D3DRS_LIGHTING, 77);
    device()->SetRenderState(D3DRS_SPECULARENABLE, 77);
  }

  TempDir folder;
  HeadlessScene scene;
};

TEST_F(MaterialApply, EachRowOfTheBlendTable) {
  struct Row {
    int blendMode;
    DWORD op, source, destination, depthWrites;
  };
  const Row rows[] = {
      {0, D3DBLENDOP_SUBTRACT, D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA, FALSE},
      {1, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA, FALSE},
      {2, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, TRUE},
      // Any other mode blends with whatever the device holds.
      {7, D3DBLENDOP_REVSUBTRACT, D3DBLEND_ZERO, D3DBLEND_ZERO, 77},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.blendMode);
    Material* material = Linked(0.5f, row.blendMode);
    material->Link();
    Scramble();
    material->Apply(1.0f);
    EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
    EXPECT_EQ(State(D3DRS_BLENDOP), row.op);
    EXPECT_EQ(State(D3DRS_SRCBLEND), row.source);
    EXPECT_EQ(State(D3DRS_DESTBLEND), row.destination);
    EXPECT_EQ(State(D3DRS_ZWRITEENABLE), row.depthWrites);
    EXPECT_EQ(State(D3DRS_ALPHATESTENABLE), DWORD{TRUE});
    EXPECT_EQ(State(D3DRS_ALPHAREF), 1u);
  }
}

TEST_F(MaterialApply, AnOpaqueMaterialDrawsWithoutBlendingAndWithDepthWrites) {
  Material* material = Linked(1.0f, 0);
  material->Link();
  Scramble();
  material->Apply(1.0f);
  EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
  EXPECT_EQ(State(D3DRS_ZWRITEENABLE), DWORD{TRUE});
  EXPECT_EQ(State(D3DRS_BLENDOP), DWORD{D3DBLENDOP_REVSUBTRACT});  // untouched
  EXPECT_EQ(State(D3DRS_LIGHTING), DWORD{TRUE});
  EXPECT_EQ(State(D3DRS_SPECULARENABLE), DWORD{TRUE});
  D3DMATERIAL9 applied{};
  device()->GetMaterial(&applied);
  EXPECT_EQ(applied.Diffuse.r, 0.25f);
  EXPECT_EQ(applied.Diffuse.b, 0.75f);
  EXPECT_EQ(applied.Diffuse.a, 1.0f);  // Link set the colour's alpha to the opacity
}

TEST_F(MaterialApply, VisibilityBecomesVAndFaintNodesBlendAdditively) {
  Material* material = Linked(1.0f, 2);
  material->Link();
  // 0.75 -> v = 0.5: transparent, mode 2 replaced by 1, alpha 0.5.
  material->Apply(0.75f);
  EXPECT_EQ(State(D3DRS_DESTBLEND), DWORD{D3DBLEND_DESTALPHA});
  EXPECT_EQ(State(D3DRS_ZWRITEENABLE), DWORD{FALSE});
  EXPECT_FLOAT_EQ(DiffuseAlpha(), 0.5f);
  // 0.995 is above 0.99: opaque (opacity 1, no layers), though its alpha is v = 0.99.
  material->Apply(0.995f);
  EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
  EXPECT_FLOAT_EQ(DiffuseAlpha(), 0.99f);
  // 0.3 -> v clamps to 0; 1.7 -> v clamps to 1.
  material->Apply(0.3f);
  EXPECT_EQ(DiffuseAlpha(), 0.0f);
  material->Apply(1.7f);
  EXPECT_EQ(DiffuseAlpha(), 1.0f);
  EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
}

TEST_F(MaterialApply, OpacityScalesTheAlphaTwiceWithoutADiffuseMapAndOnceWithOne) {
  Material* plain = Linked(0.5f, 0);
  plain->Link();
  plain->Apply(1.0f);
  EXPECT_FLOAT_EQ(DiffuseAlpha(), 0.125f);  // 0.5 (the colour's alpha) * 0.5 * 0.5
  EXPECT_EQ(State(D3DRS_BLENDOP), DWORD{D3DBLENDOP_SUBTRACT});

  Material* mapped = Linked(0.5f, 0);
  mapped->diffuseMap.Set(OpaqueTexture()->id);
  mapped->Link();
  mapped->Apply(1.0f);
  D3DMATERIAL9 applied{};
  device()->GetMaterial(&applied);
  EXPECT_EQ(applied.Diffuse.r, 1.0f);  // the texture brings the colour
  EXPECT_FLOAT_EQ(applied.Diffuse.a, 0.25f);  // v * opacity, then * opacity
  mapped->Apply(0.75f);
  EXPECT_FLOAT_EQ(DiffuseAlpha(), 0.125f);  // v = 0.5
}

TEST_F(MaterialApply, OpacityOfSinglePrecision099IsTransparentButNotScaled) {
  // 0.99f is a little above the double 0.99 and equal to the float one.
  Material* material = Linked(0.99f, 2);
  material->Link();
  EXPECT_TRUE(material->IsTransparent(1.0f));
  material->Apply(1.0f);
  EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
  EXPECT_EQ(DiffuseAlpha(), 0.99f);  // the colour's alpha only: no opacity factors
  // Just below: both tests agree, and the alpha is scaled twice.
  Material* lower = Linked(0.98f, 2);
  lower->Link();
  lower->Apply(1.0f);
  EXPECT_FLOAT_EQ(DiffuseAlpha(), 0.98f * 0.98f * 0.98f);
  EXPECT_FALSE(Linked(1.0f, 2)->IsTransparent(1.0f));
  EXPECT_TRUE(Linked(1.0f, 2)->IsTransparent(0.99f));
}

TEST_F(MaterialApply, ASpecularLayerKeepsAFaintMaterialOpaqueAndTurnsHighlightsOff) {
  Material* material = Linked(0.5f, 0);
  Texture* specular = OpaqueTexture();
  material->specularMap.Set(specular->id);
  material->Link();
  EXPECT_FALSE(material->IsTransparent(1.0f));
  EXPECT_TRUE(material->IsTransparent(0.9f));  // visibility still wins
  Scramble();
  material->Apply(1.0f);
  EXPECT_EQ(State(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
  EXPECT_EQ(State(D3DRS_ZWRITEENABLE), DWORD{TRUE});
  EXPECT_EQ(State(D3DRS_SPECULARENABLE), DWORD{FALSE});
  EXPECT_EQ(State(D3DRS_LIGHTING), DWORD{TRUE});
  EXPECT_EQ(StageState(device(), 0, D3DTSS_COLOROP), DWORD{D3DTOP_MULTIPLYADD});
  EXPECT_EQ(StageTexture(device(), 0), specular->texture);
}

TEST_F(MaterialApply, ALightMapTurnsLightingOffUnlessASpecularLayerIsThere) {
  Texture* lightMap = OpaqueTexture("light.png");
  Material* material = Linked(1.0f, 0);
  material->lightMap.Set(lightMap->id);
  material->Link();
  Scramble();
  material->Apply(1.0f);
  EXPECT_EQ(State(D3DRS_LIGHTING), DWORD{FALSE});
  EXPECT_EQ(StageState(device(), 0, D3DTSS_COLOROP), DWORD{D3DTOP_SELECTARG1});
  EXPECT_EQ(StageState(device(), 0, D3DTSS_TEXCOORDINDEX), 1u);

  material->specularMap.Set(OpaqueTexture("specular.png")->id);
  material->Apply(1.0f);
  EXPECT_EQ(State(D3DRS_LIGHTING), DWORD{TRUE});
}

TEST_F(MaterialApply, LayersTakeStagesInTheirOrderAndTheRestAreReset) {
  Material* material = Linked(1.0f, 0);
  Texture* diffuse = OpaqueTexture("d.png");
  Texture* sphere = OpaqueTexture("s.png");
  Texture* specular = OpaqueTexture("p.png");
  Texture* add = OpaqueTexture("a.png");
  Texture* lightMap = OpaqueTexture("l.png");
  material->diffuseMap.Set(diffuse->id);
  material->sphereMap.Set(sphere->id);
  material->specularMap.Set(specular->id);
  material->addMap.Set(add->id);
  material->lightMap.Set(lightMap->id);
  material->Link();
  // A leftover from an earlier draw on stage 5.
  device()->SetTexture(5, diffuse->texture);
  device()->SetTextureStageState(5, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  device()->SetTextureStageState(5, D3DTSS_TEXCOORDINDEX, 0);
  material->Apply(1.0f);
  const Texture* expected[] = {lightMap, diffuse, specular, sphere, add};
  const DWORD ops[] = {D3DTOP_SELECTARG1, D3DTOP_MODULATE, D3DTOP_MULTIPLYADD, D3DTOP_ADDSMOOTH,
                       D3DTOP_ADD};
  for (DWORD stage = 0; stage < 5; ++stage) {
    EXPECT_EQ(StageTexture(device(), stage), expected[stage]->texture) << stage;
    EXPECT_EQ(StageState(device(), stage, D3DTSS_COLOROP), ops[stage]) << stage;
  }
  for (DWORD stage = 5; stage < 8; ++stage) {
    EXPECT_EQ(StageTexture(device(), stage), nullptr) << stage;
    EXPECT_EQ(StageState(device(), stage, D3DTSS_TEXTURETRANSFORMFLAGS), DWORD{D3DTTFF_DISABLE});
    EXPECT_EQ(StageState(device(), stage, D3DTSS_TEXCOORDINDEX), stage);
  }
}

TEST_F(MaterialApply, TheGlowPassDrawsTheSelfIlluminationFromTheTextureFactor) {
  Material* material = Linked(0.5f, 2);
  material->selfIllum = 0.4f;
  Texture* diffuse = OpaqueTexture();
  material->diffuseMap.Set(diffuse->id);
  material->Link();
  scene.cache().glowPass = 1;
  material->Apply(1.0f);
  // Alpha after step 2: 0.5 * 1 * 0.5 = 0.25 -> 64; 0.4 -> 102.
  EXPECT_EQ(State(D3DRS_TEXTUREFACTOR), 0x40666666u);
  EXPECT_EQ(State(D3DRS_LIGHTING), DWORD{FALSE});
  EXPECT_EQ(StageState(device(), 0, D3DTSS_COLORARG1), DWORD{D3DTA_TFACTOR});
  EXPECT_EQ(StageState(device(), 0, D3DTSS_ALPHAARG1), DWORD{D3DTA_TFACTOR});
  EXPECT_EQ(StageState(device(), 0, D3DTSS_ALPHAOP), DWORD{D3DTOP_SELECTARG1});
  EXPECT_EQ(StageTexture(device(), 0), nullptr);
  EXPECT_EQ(StageTexture(device(), 1), diffuse->texture);
}

// A visibility an animation drove to NaN reaches the glow colour's alpha: it packs as 0
// (before, this copy of the conversion cast the NaN to an integer, which is undefined).
TEST_F(MaterialApply, TheGlowColourOfANaNVisibilityIsTransparent) {
  Material* material = Linked(1.0f, 0);
  material->selfIllum = std::nanf("");
  material->Link();
  scene.cache().glowPass = 1;
  material->Apply(std::nanf(""));
  EXPECT_EQ(State(D3DRS_TEXTUREFACTOR), 0x00000000u);
}

TEST_F(MaterialApply, LinkDerivesTheDeviceMaterialAndAnAlphaMapMakesMode0Blended) {
  Material* material = Linked(0.6f, 0);
  material->specularColor = {0.5f, 1.0f, 0.25f, 0};
  material->specularLevel = 0.5f;
  material->power = 0.25f;
  material->selfIllum = 0.3f;
  material->diffuseMap.Set(AlphaTexture()->id);
  material->Link();
  EXPECT_EQ(material->blendMode, BlendMode::kAlphaBlended);
  EXPECT_EQ(material->deviceMaterial.Specular.g, 0.5f);
  EXPECT_FLOAT_EQ(material->deviceMaterial.Specular.a, 0.3f);  // opacity * level
  EXPECT_EQ(material->deviceMaterial.Power, 8.0f);
  EXPECT_EQ(material->deviceMaterial.Emissive.r, 0.3f);
  EXPECT_EQ(material->deviceMaterial.Emissive.a, 1.0f);
  EXPECT_EQ(material->deviceMaterial.Ambient.a, 0.6f);
  EXPECT_TRUE(material->IsTransparent(1.0f));

  Material* additive = Linked(1.0f, 1);
  additive->diffuseMap.Set(material->diffuseMap.id);
  additive->Link();
  EXPECT_EQ(additive->blendMode, BlendMode::kAdditive);
  EXPECT_TRUE(additive->IsTransparent(1.0f));  // the map's alpha
  Material* opaque = Linked(1.0f, 0);
  opaque->diffuseMap.Set(OpaqueTexture()->id);
  opaque->Link();
  EXPECT_EQ(opaque->blendMode, BlendMode::kSubtractive);
  EXPECT_FALSE(opaque->IsTransparent(1.0f));
}

TEST_F(MaterialApply, ALayerThatNamesNothingIsSkipped) {
  Material* material = Linked(1.0f, 0);
  material->diffuseMap.Set(4242);
  material->lightMap.Set(4243);
  material->Link();
  material->Apply(1.0f);
  EXPECT_EQ(StageTexture(device(), 0), nullptr);
  EXPECT_EQ(State(D3DRS_LIGHTING), DWORD{TRUE});
}

using MaterialDeathTest = MaterialApply;

TEST_F(MaterialDeathTest, ALayerThatNamesAnotherKindOfObjectEndsTheShow) {
  Material* material = Linked(1.0f, 0);
  material->diffuseMap.Set(scene.ColorMaterial({0, 0, 0, 1})->id);
  EXPECT_EXIT(material->Link(), ::testing::ExitedWithCode(0),
              "Error: Scene object [0-9]+ is used as a texture but is another kind of object");
}

TEST_F(MaterialDeathTest, OpacityIsTheOneControlField) {
  Material* material = Linked(1.0f, 0);
  EXPECT_EQ(material->GetControlField("OPACITY"), &material->opacity);
  EXPECT_EXIT(material->GetControlField("Opacity"), ::testing::ExitedWithCode(0),
              "Error: Material: Invalid control field!");
}

}  // namespace
