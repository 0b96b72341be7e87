// The shared glow targets: eight one-level A8R8G8B8 render targets of the chain's
// sizes and a 512x512 D24S8 depth surface, made once per program, released to null when
// the last holder lets go.
#include <gtest/gtest.h>

#include "GlowSceneSupport.h"

namespace {

TEST(GlowTargets, EightLevelsAndADepthSurfaceMadeOnce) {
  GlowDevice glow(32, 32, nullptr, false);
  ASSERT_TRUE(glow.ok());
  EXPECT_FALSE(GlowTargetsComplete());
  CreateGlowTargets(glow.device);
  ASSERT_TRUE(GlowTargetsComplete());
  const UINT sizes[kGlowLevels] = {512, 256, 64, 32, 8, 4, 2, 1};
  IDirect3DTexture9* first[kGlowLevels];
  for (int i = 0; i < kGlowLevels; ++i) {
    first[i] = GlowTarget(i);
    ASSERT_NE(first[i], nullptr);
    D3DSURFACE_DESC desc{};
    first[i]->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, sizes[i]);
    EXPECT_EQ(desc.Height, sizes[i]);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(first[i]->GetLevelCount(), 1u);
  }
  D3DSURFACE_DESC depth{};
  GlowDepth()->GetDesc(&depth);
  EXPECT_EQ(depth.Width, 512u);
  EXPECT_EQ(depth.Height, 512u);
  EXPECT_EQ(depth.Format, D3DFMT_D24S8);
  IDirect3DSurface9* firstDepth = GlowDepth();
  CreateGlowTargets(glow.device);  // a second holder changes nothing but the count
  for (int i = 0; i < kGlowLevels; ++i) EXPECT_EQ(GlowTarget(i), first[i]);
  EXPECT_EQ(GlowDepth(), firstDepth);
  EXPECT_EQ(GlowTargetLeases(), 2);
  ReleaseGlowTargets();  // the first holder goes: the other still draws with them
  EXPECT_TRUE(GlowTargetsComplete());
  EXPECT_EQ(GlowTarget(0), first[0]);
  ReleaseGlowTargets();
  EXPECT_EQ(GlowTargetLeases(), 0);
  for (int i = 0; i < kGlowLevels; ++i) EXPECT_EQ(GlowTarget(i), nullptr);
  EXPECT_EQ(GlowDepth(), nullptr);
  EXPECT_EQ(GlowTarget(-1), nullptr);
  EXPECT_EQ(GlowTarget(kGlowLevels), nullptr);
  ReleaseGlowTargets();  // twice is harmless
  CreateGlowTargets(glow.device);
  EXPECT_TRUE(GlowTargetsComplete());
}

}  // namespace
