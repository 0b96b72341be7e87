#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/Shell.h"

namespace {

constexpr LONGLONG kGigahertz = 1'000'000'000;

TEST(Clock, MillisecondsAreExactForShortUptimes) {
  EXPECT_EQ(CounterMilliseconds(0, kGigahertz), 0u);
  EXPECT_EQ(CounterMilliseconds(999'999, kGigahertz), 0u);
  EXPECT_EQ(CounterMilliseconds(1'000'000, kGigahertz), 1u);
  EXPECT_EQ(CounterMilliseconds(10, 3), 3333u);  // rounded down
  EXPECT_EQ(CounterMilliseconds(2'999'999, 3'000'000), 999u);
}

TEST(Clock, LongUptimesOfAGigahertzCounterDoNotOverflow) {
  // 107.6 days at 1 GHz: count * 1000 no longer fits 64 bits.
  EXPECT_EQ(CounterMilliseconds(9'300'000'000'000'000, kGigahertz), 710'065'408u);
  const LONGLONG most = std::numeric_limits<LONGLONG>::max();
  EXPECT_EQ(CounterMilliseconds(most, kGigahertz), 2'077'252'342u);
  EXPECT_EQ(CounterMilliseconds(most - 1, most), 999u);
  EXPECT_EQ(CounterMilliseconds(most, 1), 0xFFFFFC18u);
}

TEST(Clock, MillisecondCountWrapsAtThirtyTwoBits) {
  const LONGLONG wrap = LONGLONG{1} << 32;  // ms
  EXPECT_EQ(CounterMilliseconds(wrap * 1000, 1'000'000), 0u);
  EXPECT_EQ(CounterMilliseconds((wrap + 5) * 1000, 1'000'000), 5u);
  EXPECT_EQ(CounterMilliseconds((wrap - 1) * 1000, 1'000'000), 0xFFFFFFFFu);
}

TEST(Clock, NoFrequencyOrANegativeCountReadsZero) {
  EXPECT_EQ(CounterMilliseconds(12345, 0), 0u);
  EXPECT_EQ(CounterMilliseconds(12345, -1), 0u);
  EXPECT_EQ(CounterMilliseconds(-5, kGigahertz), 0u);
}

}  // namespace
