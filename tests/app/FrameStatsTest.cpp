#include "app/FrameStats.h"

#include <gtest/gtest.h>

#include "app/ShowClock.h"

namespace {

TEST(FrameStatsTest, PercentilesAndTheSlowFramesWithTheirItems) {
  FrameStats stats;
  for (int i = 0; i < 98; ++i) stats.add(10.0, i * 10.0, "Wait");
  stats.add(31.0, 980.0, "LoadImage");  // over three times the median
  stats.add(29.0, 990.0, "SetLayer");   // under it
  std::string text = stats.report(2.0);
  EXPECT_NE(text.find("frames: 100 in 2.00 s, 50.0 fps"), std::string::npos) << text;
  EXPECT_NE(text.find("median 10.00 ms, 95th 10.00 ms, 99th 29.00 ms, worst 31.00 ms"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("slow frame 98: 31.00 ms at script time 0.980 s, item LoadImage"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("SetLayer"), std::string::npos) << text;
  EXPECT_NE(FrameStats().report(0).find("frames: 0"), std::string::npos);
}

TEST(ShowClockTest, PauseSetAndSimulateOverAWrappingCount) {
  ShowClock clock;
  const std::uint32_t zero = 0xFFFFFF00u;  // the 32-bit count wraps during the run
  clock.start(zero);
  EXPECT_DOUBLE_EQ(clock.now(zero + 0x200u), 512);
  clock.pause(zero + 0x200u);
  EXPECT_DOUBLE_EQ(clock.now(zero + 0x900u), 512);
  clock.resume(zero + 0x900u);
  EXPECT_DOUBLE_EQ(clock.now(zero + 0x910u), 528);
  clock.set(5000, 100);
  EXPECT_DOUBLE_EQ(clock.now(150), 5050);
  clock.simulate(77.0);
  EXPECT_DOUBLE_EQ(clock.now(9999), 77);
  clock.simulate(std::nullopt);
  EXPECT_DOUBLE_EQ(clock.now(200), 5100);
}

}  // namespace
