// Texture stage combiner: every operation and argument, per-stage saturation, the end
// of the chain, TEMP, and stages that read a missing texture. Expected colours are
// worked out from Direct3D 9's formulas (the same cases native drivers pass in Wine's
// texop_test, texop_range_test and test_texture_blending).
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"
#include "support/HResult.h"

namespace {

struct PosColorTex {
  float x, y, z;
  DWORD diffuse;
  float u, v;
};

void DrawDiffuseTexQuad(IDirect3DDevice9* device, DWORD diffuse) {
  PosColorTex quad[4] = {{-1, 1, 0.5f, diffuse, 0, 0}, {1, 1, 0.5f, diffuse, 1, 0},
                         {-1, -1, 0.5f, diffuse, 0, 1}, {1, -1, 0.5f, diffuse, 1, 1}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
}

class Combiner : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  }
  DWORD Centre() { return device.Pixel(16, 16); }
  TestDevice device{32, 32};
};

struct OpCase {
  D3DTEXTUREOP op;
  DWORD expected;
};

// Diffuse (1, 0, 0, 0.333) as ARG0, texture (0, 1, 0, 0.6) as ARG1, texture factor
// (0.2, 0.2, 0.2, 0.867) as ARG2.
const OpCase kOps[] = {
    {D3DTOP_SELECTARG1, 0x00ff00},                // A1
    {D3DTOP_SELECTARG2, 0x333333},                // A2
    {D3DTOP_MODULATE, 0x003300},                  // A1·A2
    {D3DTOP_MODULATE2X, 0x006600},                // 2·A1·A2
    {D3DTOP_MODULATE4X, 0x00cc00},                // 4·A1·A2
    {D3DTOP_ADD, 0x33ff33},                       // A1 + A2, saturated
    {D3DTOP_ADDSIGNED, 0x00b200},                 // A1 + A2 − 0.5
    {D3DTOP_ADDSIGNED2X, 0x00ff00},               // 2·(A1 + A2 − 0.5)
    {D3DTOP_SUBTRACT, 0x00cc00},                  // A1 − A2
    {D3DTOP_ADDSMOOTH, 0x33ff33},                 // A1 + A2 − A1·A2
    {D3DTOP_BLENDDIFFUSEALPHA, 0x227722},         // mix by diffuse alpha 0.333
    {D3DTOP_BLENDTEXTUREALPHA, 0x14ad14},         // mix by texture alpha 0.6
    {D3DTOP_BLENDFACTORALPHA, 0x07e407},          // mix by factor alpha 0.867
    {D3DTOP_BLENDTEXTUREALPHAPM, 0x14ff14},       // A1 + A2·(1 − 0.6)
    {D3DTOP_BLENDCURRENTALPHA, 0x227722},         // current is diffuse on stage 0
    {D3DTOP_MODULATEALPHA_ADDCOLOR, 0x1fff1f},    // A1 + A1.a·A2
    {D3DTOP_MODULATECOLOR_ADDALPHA, 0x99cc99},    // A1·A2 + A1.a
    {D3DTOP_MODULATEINVALPHA_ADDCOLOR, 0x14ff14}, // (1 − A1.a)·A2 + A1
    {D3DTOP_MODULATEINVCOLOR_ADDALPHA, 0xcc99cc}, // (1 − A1)·A2 + A1.a
    {D3DTOP_DOTPRODUCT3, 0x999999},               // 4·((A1 − .5)·(A2 − .5))
    {D3DTOP_MULTIPLYADD, 0xff3300},               // A0 + A1·A2
    {D3DTOP_LERP, 0x003333},                      // A0·A1 + (1 − A0)·A2
};

}  // namespace

TEST_F(Combiner, EveryColourOperationOnStageZero) {
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 1, 1, {0x9900FF00}));
  ASSERT_NE(texture.get(), nullptr);
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLORARG0, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xDD333333);
  for (const OpCase& c : kOps) {
    SCOPED_TRACE(testing::Message() << "operation " << c.op);
    ASSERT_HR(device->SetTextureStageState(0, D3DTSS_COLOROP, c.op));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawDiffuseTexQuad(device.device, 0x55FF0000);
    EXPECT_TRUE(ColorNear(Centre(), c.expected, 3));
  }
  device->SetTexture(0, nullptr);
}

TEST_F(Combiner, AlphaOperationsUseTheAlphaOfTheirArguments) {
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 1, 1, {0x9900FF00}));
  device->SetTexture(0, texture.get());
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xDD333333);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG0, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
  struct {
    D3DTEXTUREOP op;
    DWORD alpha;
  } cases[] = {
      {D3DTOP_SELECTARG1, 0x99},   // 0.6
      {D3DTOP_SELECTARG2, 0xdd},   // 0.867
      {D3DTOP_MODULATE, 0x85},     // 0.6·0.867 = 0.52
      {D3DTOP_ADD, 0xff},          // saturated
      {D3DTOP_ADDSMOOTH, 0xf1},    // 0.6 + 0.867 − 0.52 = 0.947
      {D3DTOP_MULTIPLYADD, 0xda},  // 0.333 + 0.52 = 0.853
      {D3DTOP_SUBTRACT, 0x00},     // clamped at 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "alpha operation " << c.op);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, c.op);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawDiffuseTexQuad(device.device, 0x55FF0000);
    EXPECT_TRUE(ColorNear(Centre(), (c.alpha << 24) | 0xFF0000, 2, false));
  }
  device->SetTexture(0, nullptr);
}

TEST_F(Combiner, EachArgumentSelectsItsSource) {
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 1, 1, {0x40102030}));
  device->SetTexture(0, texture.get());
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80405060);
  struct PosColors {
    float x, y, z;
    DWORD diffuse, specular;
    float u, v;
  } quad[4] = {{-1, 1, 0.5f, 0xC0A0B0C0, 0x20607080, 0, 0},
               {1, 1, 0.5f, 0xC0A0B0C0, 0x20607080, 1, 0},
               {-1, -1, 0.5f, 0xC0A0B0C0, 0x20607080, 0, 1},
               {1, -1, 0.5f, 0xC0A0B0C0, 0x20607080, 1, 1}};
  struct {
    DWORD arg;
    DWORD expected;
  } cases[] = {
      {D3DTA_DIFFUSE, 0xC0A0B0C0},
      {D3DTA_CURRENT, 0xC0A0B0C0},  // diffuse on stage 0
      {D3DTA_TEXTURE, 0x40102030},
      {D3DTA_TFACTOR, 0x80405060},
      {D3DTA_SPECULAR, 0x20607080},
      {D3DTA_TEMP, 0x00000000},
      {D3DTA_TFACTOR | D3DTA_COMPLEMENT, 0x7FBFAF9F},
      {D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE, 0x80808080},
      // Complement first, then replicate.
      {D3DTA_TEXTURE | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE, 0xBFBFBFBF},
  };
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "argument 0x" << std::hex << c.arg);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, c.arg);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    EXPECT_TRUE(ColorNear(Centre(), c.expected, 1, false));
  }
  device->SetTexture(0, nullptr);
}

TEST_F(Combiner, CurrentCarriesTheResultOfThePreviousStage) {
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF204060);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  DrawFullScreenColor(device.device, 0xFF101010);
  EXPECT_TRUE(ColorNear(Centre(), 0x305070, 1));
}

TEST_F(Combiner, AllEightStagesTakePart) {
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF100804);
  for (DWORD stage = 0; stage < 8; ++stage) {
    device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_CURRENT);
    device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  }
  DrawFullScreenColor(device.device, 0xFF000000);
  EXPECT_TRUE(ColorNear(Centre(), 0x804020, 1));  // eight times the factor
}

TEST_F(Combiner, EveryStageResultIsSaturated) {
  // ADD(1, 1) gives 1, not 2; SUBTRACT(current, 0.5) then gives 0.5.
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80808080);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  DrawFullScreenColor(device.device, 0xFFFFFFFF);
  EXPECT_TRUE(ColorNear(Centre(), 0x808080, 1));

  // SUBTRACT(0, 0.5) gives 0, not −0.5; ADD(current, 1) then gives 1.
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 1, 1, {0x00000000}));
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  DrawTexQuad(device.device, -1, -1, 1, 1);  // no diffuse: white
  EXPECT_TRUE(ColorNear(Centre(), 0xffffff, 1));
  device->SetTexture(0, nullptr);
}

TEST_F(Combiner, ADisabledStageEndsTheChainAndDisabledAlphaPassesThrough) {
  for (DWORD stage = 0; stage < 8; ++stage) {
    device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  }
  // A later stage is ignored once an earlier one is disabled.
  device->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(2, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF0000FF);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
  DrawFullScreenColor(device.device, 0x80FFFF02);
  EXPECT_TRUE(ColorNear(Centre(), 0x80FFFF02, 1, false));

  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CURRENT);
  DrawFullScreenColor(device.device, 0x80FFFF02);
  EXPECT_TRUE(ColorNear(Centre(), 0x80FFFF02, 1, false));

  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEMP);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEMP);
  DrawFullScreenColor(device.device, 0x80FFFF02);
  EXPECT_TRUE(ColorNear(Centre(), 0x00000000, 1, false));
}

TEST_F(Combiner, ResultCanGoToTempForALaterStage) {
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF402000);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEMP);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);  // still the diffuse
  DrawFullScreenColor(device.device, 0xFF000040);
  EXPECT_TRUE(ColorNear(Centre(), 0x402040, 1));
}

TEST_F(Combiner, AStageWithoutATexturePassesCurrentThrough) {
  // The default stage 0 is MODULATE(TEXTURE, CURRENT): without a texture, the diffuse.
  DrawFullScreenColor(device.device, 0x40FF8000);
  EXPECT_TRUE(ColorNear(Centre(), 0x40FF8000, 1, false));
  // Stage 1 reads its missing texture: stage 0's result comes through.
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF123456);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  DrawFullScreenColor(device.device, 0xFFFFFFFF);
  EXPECT_TRUE(ColorNear(Centre(), 0x123456, 1));
}

TEST_F(Combiner, SpecularIsAddedAfterTheStages) {
  device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  struct {
    float x, y, z;
    DWORD diffuse, specular;
  } quad[4] = {{-1, 1, 0.5f, 0xFF404040, 0xFF203040}, {1, 1, 0.5f, 0xFF404040, 0xFF203040},
               {-1, -1, 0.5f, 0xFF404040, 0xFF203040}, {1, -1, 0.5f, 0xFF404040, 0xFF203040}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
  // Stage 0 doubles the diffuse; the specular comes on top of the stage result.
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(Centre(), 0xa0b0c0, 1));
  // Without a specular colour in the vertex, nothing is added.
  DrawFullScreenColor(device.device, 0xFFFFFF00);
  EXPECT_TRUE(ColorNear(Centre(), 0xffff00, 0));
}

TEST_F(Combiner, MissingVertexColoursAreWhiteDiffuseAndBlackSpecular) {
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_SPECULAR);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF404040);
  D3DVECTOR quad[4] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {-1, -1, 0.5f}, {1, -1, 0.5f}};
  device->SetFVF(D3DFVF_XYZ);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  EXPECT_TRUE(ColorNear(Centre(), 0x404040, 1));
}

TEST_F(Combiner, UnsupportedStageValuesAreRefused) {
  DWORD before = 0;
  device->GetTextureStageState(0, D3DTSS_COLOROP, &before);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BUMPENVMAP));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATEALPHA_ADDCOLOR));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_CONSTANT));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS,
                                            D3DTTFF_COUNT2 | D3DTTFF_PROJECTED));
  DWORD after = 0;
  device->GetTextureStageState(0, D3DTSS_COLOROP, &after);
  EXPECT_EQ(after, before);
}
