#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/os/oshost.h"
#include "scene/loading/KeyframeFloatController.h"
#include "scene/AnimationTestSupport.h"

namespace {

float At(KeyframeFloatController& controller, FloatTarget& target, float t) {
  target.value = -123.0f;
  controller.Evaluate(t);
  return target.value;
}

TEST(KeyframeFloatController, BindsAndTracksFirstAndLastTimes) {
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", false);
  EXPECT_EQ(c.field, &target.value);
  EXPECT_EQ(c.firstTime, 1e10f);
  EXPECT_EQ(c.lastTime, -1e10f);
  c.AddKey(500, 1);
  c.AddKey(100, 2);  // unsorted on purpose: the extremes are tracked anyway
  c.AddKey(900, 3);
  EXPECT_EQ(c.firstTime, 100.0f);
  EXPECT_EQ(c.lastTime, 900.0f);
  ASSERT_EQ(c.keys.size(), 3u);
  EXPECT_EQ(c.keys[1].time, 100.0f);  // kept in the order added
}

TEST(KeyframeFloatController, InterpolatesAndHoldsTheEnds) {
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", false);
  c.AddKey(0, 1);
  c.AddKey(1000, 0);
  EXPECT_FLOAT_EQ(At(c, target, 250), 0.75f);
  EXPECT_EQ(At(c, target, -5), 1.0f);
  EXPECT_EQ(At(c, target, 0), 1.0f);  // exactly firstTime: the first key
  EXPECT_EQ(At(c, target, 1000), 0.0f);
  EXPECT_EQ(At(c, target, 5000), 0.0f);
  EXPECT_EQ(target.updates, 5);  // every write, the held ends included
  EXPECT_FALSE(target.lastRecurse);
}

TEST(KeyframeFloatController, LoopsByTruncatedDivision) {
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", true);
  c.AddKey(0, 1);
  c.AddKey(1000, 0);
  EXPECT_FLOAT_EQ(At(c, target, 1250), 0.75f);
  EXPECT_EQ(At(c, target, 2000), 1.0f);  // q = 2: back at the first key
  EXPECT_EQ(At(c, target, 1000), 1.0f);  // the last time itself wraps to the start
  // A cycle that does not start at 0.
  KeyframeFloatController late(&target, "Value", true);
  late.AddKey(100, 0);
  late.AddKey(300, 10);
  late.AddKey(500, 20);
  EXPECT_EQ(At(late, target, 700), 10.0f);         // 600 past the start: at the key of 300
  EXPECT_FLOAT_EQ(At(late, target, 1250), 17.5f);  // 1150 past: 350 into the third cycle
}

TEST(KeyframeFloatController, KeysSharingOneTimeHoldTheLastKeyWhenLooping) {
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", true);
  c.AddKey(100, 4);
  c.AddKey(100, 7);
  EXPECT_EQ(At(c, target, 50), 4.0f);
  EXPECT_EQ(At(c, target, 100), 4.0f);
  EXPECT_EQ(At(c, target, 5000), 7.0f);  // no cycle of length 0 to divide by
}

TEST(KeyframeFloatController, HugeTimesStayWithinTheKeys) {
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", true);
  c.AddKey(0, 0);
  c.AddKey(3, 30);
  for (float t : {1e9f, 3e12f, 1e30f, std::numeric_limits<float>::max()}) {
    float v = At(c, target, t);
    EXPECT_GE(v, 0.0f) << t;
    EXPECT_LE(v, 30.0f) << t;
  }
}

TEST(KeyframeFloatController, UnsortedKeysNeverReadBeforeTheFirstKey) {
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", false);
  c.AddKey(500, 5);
  c.AddKey(0, 0);
  c.AddKey(1000, 10);
  // 200: the first later key in list order is the first key itself, which holds.
  EXPECT_EQ(At(c, target, 200), 5.0f);
  // 700: the search as designed runs from key 0 (500) to key 2 (1000).
  EXPECT_FLOAT_EQ(At(c, target, 700), 7.0f);
  EXPECT_EQ(At(c, target, -1), 5.0f);  // before firstTime: the first key in list order
}

TEST(KeyframeFloatController, WithoutKeysOrFieldNothingIsWritten) {
  FloatTarget target;
  KeyframeFloatController empty(&target, "Value", true);
  EXPECT_EQ(At(empty, target, 10), -123.0f);
  KeyframeFloatController unbound(&target, "Nope", false);  // the target gave no field
  EXPECT_EQ(unbound.field, nullptr);
  unbound.AddKey(0, 1);
  unbound.AddKey(10, 2);
  EXPECT_EQ(At(unbound, target, 5), -123.0f);
  EXPECT_EQ(target.updates, 0);
}

TEST(KeyframeFloatControllerDeathTest, AFailedSearchShowsItsMessageAsUtf8) {
  OsSetHeadless(true);
  FloatTarget target;
  KeyframeFloatController c(&target, "Value", false);
  c.AddKey(0, 1);
  c.AddKey(1000, 0);
  // Only a time that is no number finds no later key.
  EXPECT_EXIT(c.Evaluate(std::nanf("")), ::testing::ExitedWithCode(0),
              "Error: Mit\xC3\xA4hittoo");
}

}  // namespace
