// The script player makes the glow pipeline's shared targets on its device when it
// starts and releases every one of them when it ends.
#include <gtest/gtest.h>

#include <memory>

#include "scene/GlowTargets.h"
#include "script/Scripter.h"
#include "support/DeviceReferences.h"

namespace {

TEST(ScripterGlowTargets, MadeAtStartReleasedAtTheEnd) {
  RecordedDevice device(64, 64);
  const std::size_t implicit = device->liveObjectCount();
  {
    Scripter scripter(device.get(), 64, 64, [] { return 0.0f; });
    EXPECT_TRUE(GlowTargetsComplete());
    EXPECT_EQ(device->Count("CreateTexture"), std::size_t{kGlowLevels});
    EXPECT_EQ(device->Count("CreateDepthStencilSurface"), 1u);
    EXPECT_EQ(device->liveObjectCount(), implicit + kGlowLevels + 1);
  }
  EXPECT_EQ(GlowTarget(0), nullptr);
  EXPECT_EQ(GlowDepth(), nullptr);
  EXPECT_EQ(device->liveObjectCount(), implicit);
  EXPECT_TRUE(device->refusals.empty());
}

}  // namespace

namespace {

// A restart, seek back, reload or loop builds the new script player before the
// old one goes; the old one's end must not take the targets from the new one.
TEST(ScripterGlowTargets, ANewPlayerKeepsThemWhenTheOldOneEnds) {
  RecordedDevice device(64, 64);
  const std::size_t implicit = device->liveObjectCount();
  {
    auto old = std::make_unique<Scripter>(device.get(), 64, 64, [] { return 0.0f; });
    IDirect3DTexture9* level0 = GlowTarget(0);
    Scripter fresh(device.get(), 64, 64, [] { return 0.0f; });
    old.reset();
    EXPECT_TRUE(GlowTargetsComplete());
    EXPECT_EQ(GlowTarget(0), level0);
    EXPECT_EQ(device->Count("CreateTexture"), std::size_t{kGlowLevels}) << "made once";
  }
  EXPECT_EQ(GlowTarget(0), nullptr);
  EXPECT_EQ(device->liveObjectCount(), implicit);
}

}  // namespace
