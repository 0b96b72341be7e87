// The layer stack driven through the Scripter with flat colours on a recording
// device: what each frame shows is read from the image after update (the layer copies
// its state into the image just before drawing it), and what it draws from the device.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "media/ImageBlitter.h"
#include "platform/os/oshost.h"
#include "script/LayerItems.h"
#include "script/Scripter.h"
#include "script/SlotItems.h"
#include "script/TimingItems.h"
#include "support/DeviceReferences.h"

namespace {

class LayerStack : public ::testing::Test {
 protected:
  void SetUp() override { OsSetHeadless(true); }
  template <class T, class... A>
  void Add(A... args) {
    scripter.items.push_back(std::make_unique<T>(&scripter, args...));
  }
  // Runs the items due at `t` (up to the next wait) and draws the frame.
  void FrameAt(float t) {
    now = t;
    ASSERT_FALSE(scripter.update());
  }
  void WaitUntil(float t) { Add<Wait>(t); }
  ImageBlitter* Image(const std::string& slot) { return scripter.images.at(slot).get(); }

  float now = 0;
  RecordedDevice device;
  Scripter scripter{device.get(), 1024, 768, [this] { return now; }};
};

TEST_F(LayerStack, MovesShowOneFrameBehindAndSetLayerPosKeepsTheMoveGoing) {
  Add<CreateColor>(0, 0, 255, std::string("c"));
  Add<SetLayer>(std::string("c"), 0);
  Add<SetLayerPosDelta>(0, 1000.0f, -500.0f);
  WaitUntil(150);
  Add<SetLayerPos>(0, 10.0f, 300.0f);
  WaitUntil(1e9f);

  FrameAt(0);
  EXPECT_FLOAT_EQ(Image("c")->positionX, 0);
  FrameAt(100);
  EXPECT_FLOAT_EQ(Image("c")->positionX, 0);  // computed at 0 ms
  EXPECT_FLOAT_EQ(scripter.layers.at(0).x, 100);
  FrameAt(200);  // the new place shows at once
  EXPECT_FLOAT_EQ(Image("c")->positionX, 10);
  EXPECT_FLOAT_EQ(Image("c")->positionY, 300);
  FrameAt(300);  // ... and the whole 200 ms of movement is added to it
  EXPECT_FLOAT_EQ(Image("c")->positionX, 210);
  EXPECT_FLOAT_EQ(Image("c")->positionY, 200);
}

TEST_F(LayerStack, FadesRunBelowZeroAndClimbBackWhileTheImageSeesClampedValues) {
  Add<CreateColor>(255, 255, 255, std::string("w"));
  Add<SetLayer>(std::string("w"), -3);
  Add<SetLayerAlphaDelta>(-3, -0.5f);
  WaitUntil(3500);
  Add<SetLayerAlphaDelta>(-3, 0.5f);
  WaitUntil(1e9f);

  FrameAt(0);
  FrameAt(3000);  // stored 1 - 1.5: negative
  EXPECT_NEAR(scripter.layers.at(-3).alpha, -0.5f, 1e-5);
  FrameAt(4000);  // fade-in starts from -0.5 at 4000 ms
  EXPECT_FLOAT_EQ(Image("w")->alpha, 0.0f);
  EXPECT_NEAR(scripter.layers.at(-3).alpha, -0.5f, 1e-5);
  FrameAt(5000);  // shows -0.5 still (clamped to 0), computes 0
  EXPECT_FLOAT_EQ(Image("w")->alpha, 0.0f);
  FrameAt(6000);
  EXPECT_NEAR(Image("w")->alpha, 0.0f, 1e-5);
  FrameAt(7000);
  EXPECT_NEAR(Image("w")->alpha, 0.5f, 1e-5);
  FrameAt(9000);
  EXPECT_FLOAT_EQ(Image("w")->alpha, 1.0f);  // stored 1.5, clamped
  EXPECT_GT(scripter.layers.at(-3).alpha, 1.0f);
}

TEST_F(LayerStack, OpacityThatIsNotANumberHidesTheImage) {
  Add<CreateColor>(255, 255, 255, std::string("w"));
  Add<SetLayer>(std::string("w"), 1);
  Add<SetLayerAlpha>(1, std::numeric_limits<float>::quiet_NaN());
  WaitUntil(1e9f);
  FrameAt(0);
  EXPECT_EQ(Image("w")->alpha, 0.0f);
}

TEST_F(LayerStack, SetLayerReplacesOrHidesAndLayerItemsIgnoreMissingLayers) {
  Add<CreateColor>(255, 0, 0, std::string("r"));
  Add<SetLayer>(std::string("r"), 4);
  Add<SetLayerPos>(4, 50.0f, 60.0f);
  Add<SetLayerAlpha>(4, 0.25f);
  Add<SetLayerAdditive>(4, true);
  Add<SetLayerPosDelta>(4, 1.0f, 1.0f);
  Add<SetLayer>(std::string("r"), 4);  // fresh: at 0, 0, opaque, not additive, still
  Add<SetLayer>(std::string("nothing"), 7);
  Add<SetLayerPos>(9, 1.0f, 1.0f);
  Add<SetLayerAlpha>(9, 1.0f);
  Add<SetLayerPosDelta>(9, 1.0f, 1.0f);
  Add<SetLayerAlphaDelta>(9, 1.0f);
  Add<SetLayerAdditive>(9, true);
  Add<RemoveLayer>(9);
  WaitUntil(1000);
  FrameAt(500);
  ASSERT_EQ(scripter.layers.size(), 1u);
  const Layer& layer = scripter.layers.at(4);
  EXPECT_EQ(layer.x, 0);
  EXPECT_EQ(layer.alpha, 1);
  EXPECT_FALSE(layer.additive);
  EXPECT_EQ(layer.velocityX, 0);
  EXPECT_FALSE(Image("r")->additive);

  // "setlayer" with an empty slot hides that layer.
  Add<SetLayer>(std::string("nothing"), 4);
  WaitUntil(1e9f);
  FrameAt(1500);
  EXPECT_TRUE(scripter.layers.empty());
}

TEST_F(LayerStack, FreeingOrReplacingAnImageTakesEveryLayerShowingIt) {
  Add<CreateColor>(255, 0, 0, std::string("r"));
  Add<CreateColor>(0, 255, 0, std::string("g"));
  Add<SetLayer>(std::string("r"), 2);
  Add<SetLayer>(std::string("g"), 3);
  Add<SetLayer>(std::string("r"), 5);
  WaitUntil(10);
  Add<FreeImage>(std::string("r"));
  Add<FreeImage>(std::string("absent"));
  WaitUntil(20);
  Add<SetLayer>(std::string("g"), 6);
  Add<CreateColor>(0, 0, 255, std::string("g"));  // replacing the slot frees the old one
  WaitUntil(1e9f);

  FrameAt(0);
  EXPECT_EQ(scripter.layers.size(), 3u);
  FrameAt(15);
  ASSERT_EQ(scripter.layers.size(), 1u);
  EXPECT_TRUE(scripter.layers.contains(3));
  EXPECT_FALSE(scripter.images.contains("r"));
  FrameAt(25);
  EXPECT_TRUE(scripter.layers.empty());
  EXPECT_TRUE(scripter.images.contains("g"));
}

TEST_F(LayerStack, ColourChannelsRoundAndSaturateAndCoverTheScreen) {
  // Channels are the parsed integers over 255; a negative one wraps to a huge value.
  Add<CreateColor>(128, 300, -1, std::string("c"));
  Add<CreateColor>(0, 1, 254, std::string("d"));
  WaitUntil(1e9f);
  FrameAt(0);
  EXPECT_EQ(Image("c")->flatColor(), 0xFF80FFFFu);
  EXPECT_EQ(Image("d")->flatColor(), 0xFF0001FEu);
  const ImageBlitter::Vertex* quad = Image("c")->quad();
  EXPECT_EQ(quad[0].x, 0.0f);
  EXPECT_EQ(quad[3].x, 1024.0f);
  EXPECT_EQ(quad[3].y, 768.0f);
  EXPECT_EQ(quad[0].v, 1.0f);
  EXPECT_EQ(quad[1].v, 0.0f);
}

TEST_F(LayerStack, AFrameDrawsEveryLayerInOrderInsideOneScene) {
  Add<CreateColor>(255, 0, 0, std::string("r"));
  Add<CreateColor>(0, 255, 0, std::string("g"));
  Add<CreateColor>(0, 0, 255, std::string("b"));
  Add<SetLayer>(std::string("b"), 7);
  Add<SetLayer>(std::string("r"), -2);
  Add<SetLayer>(std::string("g"), 0);
  WaitUntil(1e9f);
  FrameAt(0);
  ASSERT_EQ(device->draws.size(), 3u);
  const DWORD order[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};  // -2, 0, 7
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(device->draws[i].state.render[D3DRS_TEXTUREFACTOR], order[i]) << i;
  EXPECT_EQ(device->Count("BeginScene"), 1u);
  EXPECT_EQ(device->Count("EndScene"), 1u);
  EXPECT_FALSE(device->inScene);
  EXPECT_TRUE(device->refusals.empty()) << ::testing::PrintToString(device->refusals);

  device->ClearRecord();
  ASSERT_FALSE(scripter.update(false));  // a skipped frame asks nothing of the device
  EXPECT_TRUE(device->calls.empty()) << ::testing::PrintToString(device->calls);
}

}  // namespace
