#include <gtest/gtest.h>

#include "platform/os/oshost.h"
#include "script/Layer.h"
#include "script/PlayItems.h"
#include "script/Scripter.h"
#include "script/TimingItems.h"
#include "support/DeviceReferences.h"

namespace {

// A clock the test moves by hand; `step` is added after every reading, so each
// reading can be told apart.
struct TestClock {
  float now = 0;
  float step = 0;
  int readings = 0;
  float read() {
    ++readings;
    float value = now;
    now += step;
    return value;
  }
};

class Timeline : public ::testing::Test {
 protected:
  void SetUp() override { OsSetHeadless(true); }
  template <class T, class... A>
  void Add(A... args) {
    scripter.items.push_back(std::make_unique<T>(&scripter, args...));
  }
  TestClock clock;
  RecordedDevice device;
  Scripter scripter{device.get(), 1024, 768, [this] { return clock.read(); }};
};

TEST_F(Timeline, EmptyScriptEndsAtOnceWithoutReadingTheClock) {
  EXPECT_TRUE(scripter.update());
  EXPECT_EQ(clock.readings, 0);
}

TEST_F(Timeline, WaitIsStrictAndTheShowEndsWhenTheLastItemCompletes) {
  Add<Wait>(100.0f);
  clock.now = 100;
  EXPECT_FALSE(scripter.update());
  clock.now = 100.5f;
  EXPECT_TRUE(scripter.update());
  EXPECT_EQ(scripter.nextItem, 1u);
}

TEST_F(Timeline, EachItemInAFrameGetsAFreshClockReading) {
  Add<SetSceneTime>(0.0f);
  Add<SetFlashTime>(0.0f);
  Add<Wait>(1000.0f);
  clock.now = 10;
  clock.step = 10;
  EXPECT_FALSE(scripter.update());
  EXPECT_FLOAT_EQ(scripter.sceneClockOffset, 10);
  EXPECT_FLOAT_EQ(scripter.flashClockOffset, 20);
  EXPECT_EQ(clock.readings, 3);
  EXPECT_EQ(scripter.nextItem, 2u);
}

TEST_F(Timeline, PassedWaitCompletesInTheSameFrameAsTheItemsBeforeIt) {
  Add<SetSceneTime>(0.0f);
  Add<Wait>(50.0f);
  Add<Wait>(5000.0f);
  clock.now = 200;
  EXPECT_FALSE(scripter.update());
  EXPECT_EQ(scripter.nextItem, 2u);
}

TEST_F(Timeline, SetTimeMovesAllThreeClocks) {
  Add<SetTime>(0.0f);
  Add<Wait>(1000.0f);
  clock.now = 5000;
  EXPECT_FALSE(scripter.update());
  EXPECT_FLOAT_EQ(scripter.scriptClockOffset, 5000);
  EXPECT_FLOAT_EQ(scripter.sceneClockOffset, 5000);
  EXPECT_FLOAT_EQ(scripter.flashClockOffset, 5000);
  clock.now = 6000;
  EXPECT_FALSE(scripter.update());
  clock.now = 6001;
  EXPECT_TRUE(scripter.update());
}

TEST_F(Timeline, SetSceneTimeAndSetFlashTimeFollowTheScriptClock) {
  scripter.scriptClockOffset = 0;
  Add<Wait>(1999.0f);
  Add<SetSceneTime>(10000.0f);
  Add<SetFlashTime>(500.0f);
  Add<Wait>(60000.0f);
  clock.now = 2000;
  EXPECT_FALSE(scripter.update());
  clock.now = 3000;
  EXPECT_FLOAT_EQ(clock.now - scripter.sceneClockOffset, 11000);
  EXPECT_FLOAT_EQ(clock.now - scripter.flashClockOffset, 1500);
  EXPECT_FLOAT_EQ(scripter.scriptTime(), 3000);
}

TEST_F(Timeline, SetTimeAfterAnEarlierSetTimeCountsFromTheScriptClock) {
  Add<SetTime>(100.0f);
  Add<SetTime>(0.0f);
  Add<Wait>(1e9f);
  clock.now = 1000;
  scripter.update();
  // First: script time 100 at clock 1000 (offset 900); second at script time 100 -> 0.
  EXPECT_FLOAT_EQ(scripter.scriptClockOffset, 1000);
}

TEST_F(Timeline, StopsAndVolumeWithNothingCurrentDoNothing) {
  Add<StopScene>();
  Add<StopFlash>();
  Add<StopMusic>();
  Add<SetVolume>(100);
  Add<SetActiveCamera>(std::string("cam"));
  Add<Wait>(10.0f);
  EXPECT_FALSE(scripter.update());
  EXPECT_EQ(scripter.nextItem, 5u);
}

using TimelineDeathTest = Timeline;

TEST_F(TimelineDeathTest, PlayingAnEmptySlotEndsTheShowWithItsCaption) {
  EXPECT_EXIT(
      {
        Add<PlayScene>(std::string("intro"));
        scripter.update();
      },
      ::testing::ExitedWithCode(0), "PlayScene error: .*intro");
  EXPECT_EXIT(
      {
        Add<PlayFlash>(std::string("movie"), 1, 1);
        scripter.update();
      },
      ::testing::ExitedWithCode(0), "PlayFlash error: .*movie");
  EXPECT_EXIT(
      {
        Add<PlayMusic>(std::string("tune"), 0);
        scripter.update();
      },
      ::testing::ExitedWithCode(0), "PlayMusic error: .*tune");
}

TEST(LayerMotion, FadesAndMovesAreLinearFromTheirStart) {
  Layer layer;
  layer.alphaVelocity = -0.5f;
  layer.advance(2000);
  EXPECT_FLOAT_EQ(layer.alpha, 0.0f);
  layer.advance(3000);
  EXPECT_FLOAT_EQ(layer.alpha, -0.5f);  // keeps falling below 0
  // A fade-in started now climbs from the negative value.
  layer.baseAlpha = layer.alpha;
  layer.fadeStart = 3000;
  layer.alphaVelocity = 0.5f;
  layer.advance(4000);
  EXPECT_NEAR(layer.alpha, 0.0f, 1e-6);  // 0.001 is not exact in binary
  layer.advance(4500);
  EXPECT_NEAR(layer.alpha, 0.25f, 1e-6);

  layer.baseX = 10;
  layer.moveStart = 1000;
  layer.velocityX = 100;
  layer.velocityY = -20;
  layer.advance(2500);
  EXPECT_FLOAT_EQ(layer.x, 160.0f);
  EXPECT_FLOAT_EQ(layer.y, -30.0f);
}

}  // namespace
