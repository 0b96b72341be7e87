#include "platform/os/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

const std::vector<std::uint8_t> kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88, 0xFF};

TEST(LittleEndianReader, ReadsFieldsLowByteFirstInOrder) {
  LittleEndianReader in(kBytes);
  EXPECT_EQ(in.U8(), 0x01u);
  EXPECT_EQ(in.U16(), 0x0302u);
  EXPECT_EQ(in.I32(), 0x07060504);
  EXPECT_EQ(in.Position(), 7u);
  EXPECT_EQ(in.Remaining(), 2u);
  EXPECT_FALSE(in.Failed());
  EXPECT_EQ(in.U32At(5), 0xFF880706u);
  EXPECT_EQ(in.U16At(0), 0x0201u);
  EXPECT_EQ(in.U8At(8), 0xFFu);
  EXPECT_EQ(in.Position(), 7u);  // reads at an offset leave the cursor alone
  EXPECT_FALSE(in.Failed());
}

// A field that does not fit gives 0 and moves nothing, so the bytes that are left
// can still be read, and the failure is remembered for the caller to report.
TEST(LittleEndianReader, AFieldPastTheEndReadsNothingAndIsReported) {
  LittleEndianReader in(kBytes.data(), 7);
  EXPECT_TRUE(in.Skip(4));
  EXPECT_EQ(in.U32(), 0u);
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(in.Position(), 4u);
  EXPECT_EQ(in.U16(), 0x0605u);
  EXPECT_EQ(in.Take(2), nullptr);
  EXPECT_FALSE(in.Skip(2));
  EXPECT_EQ(in.U8(), 0x07u);
  EXPECT_EQ(in.U8(), 0u);
  EXPECT_EQ(in.Remaining(), 0u);

  LittleEndianReader at(kBytes.data(), 7);
  EXPECT_EQ(at.U32At(3), 0x07060504u);
  EXPECT_FALSE(at.Failed());
  EXPECT_EQ(at.U32At(4), 0u);  // would take byte 7, outside the 7 bytes given
  EXPECT_TRUE(at.Failed());
  const std::size_t huge = std::numeric_limits<std::size_t>::max();
  for (std::size_t offset : {std::size_t{7}, huge, huge - 1, huge - 3}) {
    LittleEndianReader far(kBytes.data(), 7);
    EXPECT_EQ(far.U16At(offset), 0u) << offset;
    EXPECT_EQ(far.U32At(offset), 0u) << offset;
    EXPECT_TRUE(far.Failed()) << offset;
  }
  LittleEndianReader taking(kBytes.data(), 7);
  EXPECT_EQ(taking.Take(huge), nullptr);
  EXPECT_EQ(taking.Position(), 0u);
}

TEST(LittleEndianReader, NoBytesMeansEveryReadFails) {
  LittleEndianReader none(nullptr, 100);
  EXPECT_EQ(none.Size(), 0u);
  EXPECT_EQ(none.U8(), 0u);
  EXPECT_EQ(none.U8At(0), 0u);
  EXPECT_TRUE(none.Failed());
  EXPECT_TRUE(none.Skip(0));
}

TEST(LittleEndianWords, StoreAndLoadAgreeOnTheByteOrder) {
  std::uint8_t bytes[4] = {};
  StoreLittle<std::uint32_t>(bytes, 0xA1B2C3D4u);
  EXPECT_EQ(bytes[0], 0xD4u);
  EXPECT_EQ(bytes[3], 0xA1u);
  EXPECT_EQ(LoadLittle<std::uint32_t>(bytes), 0xA1B2C3D4u);
  EXPECT_EQ(LoadLittle<std::uint16_t>(bytes + 1), 0xB2C3u);
}

}  // namespace
