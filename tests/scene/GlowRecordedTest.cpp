// A glow frame on the recording device: what the pipeline asks of the device without
// rendering. Every draw lies inside the scene and is one the device accepts, every
// level of the chain is drawn into, no draw samples the target it draws into, the
// full-screen quad holds the corners of clip space, and the frame ends on the back
// buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "GlowSceneSupport.h"
#include "support/ComOut.h"
#include "support/DeviceReferences.h"
#include "support/HResult.h"
#include "support/RecordedResources.h"

namespace {

IDirect3DBaseTexture9* ContainerOf(IDirect3DSurface9* surface) {
  auto* level = dynamic_cast<RecordedLevel*>(surface);
  return level ? level->texture : nullptr;
}

TEST(GlowRecorded, AFrameDrawsEveryLevelAndNeverReadsTheTargetItDrawsInto) {
  RecordedDevice device(96, 72);
  CreateGlowTargets(device.get());
  ASSERT_TRUE(GlowTargetsComplete());
  ComOwner<IDirect3DSurface9> back;
  ASSERT_HR(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, Out(back)));
  {
    GlowScene scene(device.get());
    scene.AddQuad(10, 2, 2, 1.0f);
    scene.Prepare();
    device->ClearRecord();
    scene.Frame(0xFF000000, true);
  }
  EXPECT_TRUE(device->refusals.empty()) << ::testing::PrintToString(device->refusals);
  ASSERT_FALSE(device->draws.empty());
  std::set<IDirect3DBaseTexture9*> drawnInto;
  std::size_t quads = 0;
  const float corners[4][5] = {
      {-1, -1, 1, 0, 1}, {-1, 1, 1, 0, 0}, {1, -1, 1, 1, 1}, {1, 1, 1, 1, 0}};
  for (std::size_t i = 0; i < device->draws.size(); ++i) {
    const RecordedDraw& draw = device->draws[i];
    IDirect3DBaseTexture9* target = ContainerOf(draw.target);
    if (target) drawnInto.insert(target);
    for (IDirect3DBaseTexture9* sampled : draw.textures)
      EXPECT_TRUE(!sampled || sampled != target) << "draw " << i << " reads its own target";
    if (draw.call == "DrawPrimitive") {
      ++quads;
      ASSERT_EQ(draw.vertices.size(), sizeof corners) << "draw " << i;
      EXPECT_EQ(std::memcmp(draw.vertices.data(), corners, sizeof corners), 0) << "draw " << i;
    }
  }
  for (int level = 0; level < kGlowLevels; ++level)
    EXPECT_TRUE(drawnInto.contains(GlowTarget(level))) << "level " << level;
  EXPECT_GE(quads, std::size_t{kGlowLevels});
  EXPECT_EQ(device->renderTarget(), back.get());
  EXPECT_EQ(device->draws.back().target, back.get());
  ReleaseGlowTargets();
}

}  // namespace
