#include <gtest/gtest.h>

#include <sstream>

#include "archive/CFLArchive.h"
#include "archive/CFLArchiveWriter.h"
#include "archive/CFLFilterChain.h"
#include "tests/archive/ArchiveTestSupport.h"

using namespace archive_test;

TEST(ArchiveWriter, ImageAfterOtherBytesCountsOffsetsFromItsMagic) {
  std::stringstream out(std::ios::in | std::ios::out | std::ios::binary);
  out << "some player bytes";
  CFLArchiveWriter writer(out);
  const Bytes data = PatternBytes(500);
  std::uint32_t chosen = 99, packed = 0;
  ASSERT_TRUE(writer.Add("a.bin", data.data(), 500, CFLAllFilterChains(), &chosen, &packed));
  EXPECT_LT(packed, 500u);
  EXPECT_NE(chosen & 0xFFFF, 0u) << "a compressing chain is smallest for patterned data";
  ASSERT_TRUE(writer.Finish(CFLAllFilterChains()));
  const std::string image = out.str().substr(17);
  ASSERT_EQ(image.size(), writer.Size());
  EXPECT_EQ(image.substr(0, 4), "CFL3");
  Bytes bytes(image.begin(), image.end());
  EXPECT_EQ(GetU32(bytes, 8), 14u + 5u) << "directory size is the unpacked entry list";
  const Bytes trailer = Trailer(static_cast<std::uint32_t>(bytes.size()));
  Bytes file = ToBytes("some player bytes");
  file.insert(file.end(), bytes.begin(), bytes.end());
  file.insert(file.end(), trailer.begin(), trailer.end());
  ScratchDir dir;
  WriteFile(dir / "show", file);
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show").c_str()));
  std::uint32_t size = 0;
  auto read = archive.Read("a.bin", size);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Bytes(read.get(), read.get() + size), data);
}

TEST(ArchiveWriter, RefusesNamesItCannotStoreAndLateAdditions) {
  std::stringstream out(std::ios::in | std::ios::out | std::ios::binary);
  CFLArchiveWriter writer(out);
  const Bytes data = PatternBytes(10);
  EXPECT_TRUE(writer.Add(std::string(65535, 'n'), data.data(), 10, cfl_filter::kNone));
  EXPECT_FALSE(writer.Add(std::string(65536, 'n'), data.data(), 10, cfl_filter::kNone));
  EXPECT_NE(writer.Error().find("65535"), std::string::npos);

  std::stringstream second(std::ios::in | std::ios::out | std::ios::binary);
  CFLArchiveWriter finished(second);
  const std::uint32_t none = cfl_filter::kNone;
  ASSERT_TRUE(finished.Finish(std::span<const std::uint32_t>(&none, 1)));
  EXPECT_FALSE(finished.Add("late", data.data(), 10, cfl_filter::kNone));

  std::stringstream third(std::ios::in | std::ios::out | std::ios::binary);
  CFLArchiveWriter unknownFilter(third);
  EXPECT_FALSE(unknownFilter.Add("x", data.data(), 10, 0x00050000));
  EXPECT_FALSE(unknownFilter.Error().empty());
}
