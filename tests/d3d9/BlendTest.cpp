// Alpha blending: the factors and operations the show uses, destination alpha on
// targets with and without an alpha channel.
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"

namespace {

class Blend : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  }
  DWORD Draw(DWORD destination, DWORD source, D3DBLEND srcBlend, D3DBLEND destBlend,
             D3DBLENDOP op = D3DBLENDOP_ADD) {
    device->SetRenderState(D3DRS_SRCBLEND, srcBlend);
    device->SetRenderState(D3DRS_DESTBLEND, destBlend);
    device->SetRenderState(D3DRS_BLENDOP, op);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, destination, 1.0f, 0);
    DrawFullScreenColor(device.device, source);
    return device.Pixel(8, 8);
  }
  TestDevice device{16, 16};
};

}  // namespace

TEST_F(Blend, SourceAlphaAndInverseSourceAlpha) {
  // (0,1,0)·0.251 + (1,0,0)·0.749
  EXPECT_TRUE(ColorNear(Draw(0x80FF0000, 0x4000FF00, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA),
                        0xbf4000, 1));
}

TEST_F(Blend, DestinationAlphaOfAnA8R8G8B8Target) {
  // (0,0,1)·0.502 + (1,0,0)·(1 − 0.502)
  EXPECT_TRUE(ColorNear(Draw(0x80FF0000, 0xC00000FF, D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA),
                        0x7f0080, 2));
}

TEST_F(Blend, OneAndZeroAddAndReplace) {
  EXPECT_TRUE(ColorNear(Draw(0xFF204060, 0x10402010, D3DBLEND_ONE, D3DBLEND_ONE), 0x606070, 1));
  EXPECT_TRUE(ColorNear(Draw(0xFF204060, 0x10402010, D3DBLEND_ONE, D3DBLEND_ZERO), 0x402010, 0));
  EXPECT_TRUE(ColorNear(Draw(0xFF204060, 0x10402010, D3DBLEND_ZERO, D3DBLEND_ONE), 0x204060, 0));
}

TEST_F(Blend, SubtractTakesTheDestinationFromTheSource) {
  // Src·As − Dst·Ad: 1·0.502 − 0.1255·0.251 = 0.470; alpha 0.502² − 0.251² = 0.189.
  DWORD result =
      Draw(0x40202020, 0x80FFFFFF, D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA, D3DBLENDOP_SUBTRACT);
  EXPECT_TRUE(ColorNear(result, 0x30787878, 1, false));
  // Clamped at zero when the destination is larger.
  EXPECT_TRUE(ColorNear(Draw(0xFFFFFFFF, 0xFF404040, D3DBLEND_ONE, D3DBLEND_ONE,
                             D3DBLENDOP_SUBTRACT),
                        0x000000, 0));
}

TEST_F(Blend, ReverseSubtractTakesTheSourceFromTheDestination) {
  EXPECT_TRUE(ColorNear(Draw(0xFFFFFFFF, 0xFF404040, D3DBLEND_ONE, D3DBLEND_ONE,
                             D3DBLENDOP_REVSUBTRACT),
                        0xbfbfbf, 1));
}

TEST_F(Blend, OffMeansReplace) {
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  EXPECT_TRUE(ColorNear(Draw(0xFF204060, 0x10402010, D3DBLEND_ONE, D3DBLEND_ONE), 0x402010, 0));
}

TEST(BlendTarget, DestinationAlphaOfAnX8R8G8B8TargetIsOne) {
  TestDevice device(16, 16, D3DFMT_D24S8, D3DFMT_X8R8G8B8);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVDESTALPHA);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80FF0000, 1.0f, 0);
  DrawFullScreenColor(device.device, 0xC00000FF);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x0000ff, 1));
  // Its unused byte reads back as 0xFF.
  EXPECT_EQ(device.Pixel(8, 8) >> 24, 0xFFu);
}
