// The script player makes the glow pipeline's shared targets when it starts and
// releases them when it ends; a player without a device makes none.
#include <gtest/gtest.h>

#include "platform/d3d9/d3d9.h"
#include "scene/GlowTargets.h"
#include "script/Scripter.h"
#include "support/HeadlessDevice.h"

namespace {

TEST(ScripterGlowTargets, MadeAtStartReleasedAtTheEnd) {
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  IDirect3DDevice9* device = CreateHeadlessDevice(d3d, 64, 64, D3DFMT_D24S8);
  ASSERT_NE(device, nullptr);
  {
    Scripter scripter(device, 64, 64, [] { return 0.0f; });
    EXPECT_TRUE(GlowTargetsComplete());
  }
  EXPECT_EQ(GlowTarget(0), nullptr);
  EXPECT_EQ(GlowDepth(), nullptr);
  {
    Scripter scripter(nullptr, 64, 64, [] { return 0.0f; });
    EXPECT_EQ(GlowDepth(), nullptr);
  }
  device->Release();
  d3d->Release();
}

}  // namespace
