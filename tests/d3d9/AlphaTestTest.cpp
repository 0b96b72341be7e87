// Alpha test: every comparison against a reference below, equal to and above the
// fragment's alpha, compared in 8 bits, with only the reference's low byte counting.
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"

TEST(AlphaTest, EveryFunctionAgainstLowerEqualAndHigherReferences) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  const DWORD kGreen = 0x00ff00, kRed = 0xff0000;
  // References 0x90 (alpha below it), 0x80 (equal), 0x70 and 0xFF70 (alpha above).
  const DWORD references[4] = {0x90, 0x80, 0x70, 0xFF70};
  struct {
    D3DCMPFUNC func;
    bool drawn[3];  // alpha < ref, alpha == ref, alpha > ref
  } cases[] = {
      {D3DCMP_NEVER, {false, false, false}},     {D3DCMP_LESS, {true, false, false}},
      {D3DCMP_EQUAL, {false, true, false}},      {D3DCMP_LESSEQUAL, {true, true, false}},
      {D3DCMP_GREATER, {false, false, true}},    {D3DCMP_NOTEQUAL, {true, false, true}},
      {D3DCMP_GREATEREQUAL, {false, true, true}}, {D3DCMP_ALWAYS, {true, true, true}},
  };
  for (const auto& c : cases) {
    device->SetRenderState(D3DRS_ALPHAFUNC, c.func);
    for (int r = 0; r < 4; ++r) {
      SCOPED_TRACE(testing::Message() << "function " << c.func << ", reference 0x" << std::hex
                                      << references[r]);
      device->SetRenderState(D3DRS_ALPHAREF, references[r]);
      device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF0000, 1.0f, 0);
      DrawFullScreenColor(device.device, 0x8000FF00);
      EXPECT_TRUE(ColorNear(device.Pixel(8, 8), c.drawn[r < 3 ? r : 2] ? kGreen : kRed, 1));
    }
  }
  DWORD stored = 0;
  device->GetRenderState(D3DRS_ALPHAREF, &stored);
  EXPECT_EQ(stored, 0xFF70u);
}

TEST(AlphaTest, TestsTheAlphaAfterTheStages) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  device->SetRenderState(D3DRS_ALPHAREF, 0x01);
  // The diffuse alpha is 1, but stage 0 replaces it by the factor's 0.
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x00000000);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  DrawFullScreenColor(device.device, 0xFFFFFFFF);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x0000ff, 0));
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x01000000);
  DrawFullScreenColor(device.device, 0xFFFFFFFF);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xffffff, 0));
}
