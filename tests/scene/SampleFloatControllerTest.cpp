#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/loading/SampleFloatController.h"
#include "scene/AnimationTestSupport.h"

namespace {

struct Samples : ::testing::Test {
  Samples() : c(&target, "Value") {
    c.samples = {0, 10, 20};
    c.timing.keyStart = 100;
    c.timing.keyEnd = 300;
  }
  float At(float t) {
    target.value = -123.0f;
    c.Evaluate(t);
    return target.value;
  }
  FloatTarget target;
  SampleFloatController c;
};

TEST_F(Samples, ExactSamplesBlendsAndHeldEnds) {
  EXPECT_EQ(c.field, &target.value);
  EXPECT_EQ(At(200), 10.0f);
  EXPECT_FLOAT_EQ(At(150), 5.0f);
  EXPECT_EQ(At(99), 0.0f);
  EXPECT_EQ(At(100), 0.0f);
  EXPECT_EQ(At(301), 20.0f);
  EXPECT_EQ(At(300), 20.0f);
  EXPECT_FLOAT_EQ(At(275), 17.5f);
  EXPECT_EQ(target.updates, 7);
  EXPECT_FALSE(target.lastRecurse);
}

TEST_F(Samples, LoopsByRepeatedSubtraction) {
  c.timing.looping = true;
  c.timing.loopLength = 1000;
  c.timing.keyStart = 0;
  c.timing.keyEnd = 1000;
  c.samples = {0, 1000};  // the value shows the reduced time
  EXPECT_FLOAT_EQ(At(2500), 500.0f);
  EXPECT_EQ(At(1000), 1000.0f);  // not wrapped
  EXPECT_EQ(At(3000), 1000.0f);  // stops at the loop length, not at 0
  EXPECT_FLOAT_EQ(At(1000.5f), 0.5f);
  EXPECT_FLOAT_EQ(At(-20), 0.0f);
  c.timing.looping = false;
  EXPECT_EQ(At(2500), 1000.0f);
}

TEST_F(Samples, ZeroLoopLengthAndHugeTimesNeitherHangNorLeaveTheLoop) {
  c.timing.looping = true;
  c.timing.loopLength = 0;  // no cycle: the time is used as it is
  EXPECT_EQ(At(5000), 20.0f);
  EXPECT_FLOAT_EQ(At(150), 5.0f);
  c.timing.loopLength = 400;
  c.timing.keyStart = 0;
  c.timing.keyEnd = 400;
  c.samples = {0, 400};
  // 2^40 ms: subtracting 400 no longer changes the float; the remainder is exact.
  const float huge = std::ldexp(1.0f, 40);
  EXPECT_EQ(At(huge), static_cast<float>(std::fmod(static_cast<double>(huge), 400.0)));
  const float v = At(std::numeric_limits<float>::infinity());
  EXPECT_GE(v, 0.0f);
  EXPECT_LE(v, 400.0f);
}

TEST_F(Samples, RangeWhoseEndEqualsItsStart) {
  c.timing.keyStart = 200;
  c.timing.keyEnd = 200;
  EXPECT_EQ(At(199), 0.0f);
  EXPECT_EQ(At(200), 0.0f);  // the instant itself: the first sample, no 0/0
  EXPECT_EQ(At(201), 20.0f);
}

TEST_F(Samples, RangeEndsAreUnsignedTimes) {
  c.timing.keyStart = 0x80000000u;  // above the signed range: still a time far ahead
  c.timing.keyEnd = 0x80000000u + 2048u;
  EXPECT_EQ(At(1000), 0.0f);
  EXPECT_EQ(At(4294967296.0f), 20.0f);
  EXPECT_FLOAT_EQ(At(2147484672.0f), 10.0f);  // halfway: 0x80000000 + 1024
}

TEST_F(Samples, OneSampleNoSamplesOrNoField) {
  c.samples = {7};
  EXPECT_EQ(At(200), 7.0f);
  c.samples.clear();
  EXPECT_EQ(At(200), -123.0f);
  SampleFloatController unbound(&target, "Missing");
  unbound.samples = {1, 2};
  unbound.timing.keyEnd = 10;
  target.value = -123.0f;
  unbound.Evaluate(5);
  EXPECT_EQ(target.value, -123.0f);
}

}  // namespace
