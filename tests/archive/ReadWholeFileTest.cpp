#include <gtest/gtest.h>

#include "archive/CFLArchive.h"
#include "archive/CFLFilterChain.h"
#include "archive/ReadWholeFile.h"
#include "platform/os/oshost.h"
#include "tests/archive/ArchiveTestSupport.h"

using namespace archive_test;

TEST(ReadWholeFile, ReadsDiskFilesAndArchiveEntries) {
  ScratchDir dir;
  WriteFile(dir / "scene.psk", PatternBytes(777));
  WriteFile(dir / "show.cfl", BuildImage({{"packed.psk", PatternBytes(5000, 2), cfl_filter::kZlib},
                                          {"empty.psk", Bytes{}, cfl_filter::kZlib}}));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
  SetProgramArchive(&archive);
  const WholeFile disk = ReadWholeFile((dir / "scene.psk").c_str());
  const WholeFile packed = ReadWholeFile("packed.psk");
  const WholeFile empty = ReadWholeFile("empty.psk");
  SetProgramArchive(nullptr);
  ASSERT_EQ(disk.size, 777);
  EXPECT_EQ(Bytes(disk.data.get(), disk.data.get() + 777), PatternBytes(777));
  ASSERT_EQ(packed.size, 5000);
  EXPECT_EQ(Bytes(packed.data.get(), packed.data.get() + 5000), PatternBytes(5000, 2));
  EXPECT_EQ(empty.size, 0);
}

TEST(ReadWholeFileDeathTest, MissingFileShowsItsWholePathAndExitsWithStatus0) {
  OsSetHeadless(true);
  std::string path = "/nonexistent/";
  for (int i = 0; i < 40; ++i) path += std::string(200, 'a') + "/";
  path += "end-marker.psk";
  EXPECT_EXIT(ReadWholeFile(path.c_str()), ::testing::ExitedWithCode(0),
              "Error: Couldn't open file: /nonexistent/(a+/)+end-marker\\.psk");
}

// The shared read the picture and texture loaders build on: a missing name is told
// apart from a file that is there, and an empty file is there with nothing in it.
TEST(ReadMemFileBytes, TellsMissingFromEmptyAndReadsArchiveEntries) {
  ScratchDir dir;
  WriteFile(dir / "empty.png", Bytes{});
  WriteFile(dir / "show.cfl", BuildImage({{"packed.png", PatternBytes(300, 3), cfl_filter::kZlib}}));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
  SetProgramArchive(&archive);
  const MemFileBytes missing = ReadMemFileBytes((dir / "missing.png").c_str());
  const MemFileBytes empty = ReadMemFileBytes((dir / "empty.png").c_str());
  const MemFileBytes packed = ReadMemFileBytes("packed.png");
  SetProgramArchive(nullptr);
  EXPECT_FALSE(missing.opened);
  EXPECT_EQ(missing.bytes.data, nullptr);
  EXPECT_TRUE(empty.opened);
  EXPECT_EQ(empty.length, 0);
  EXPECT_EQ(empty.bytes.size, 0);
  ASSERT_TRUE(packed.opened);
  ASSERT_EQ(packed.length, 300);
  ASSERT_EQ(packed.bytes.size, 300);
  EXPECT_EQ(Bytes(packed.bytes.data.get(), packed.bytes.data.get() + 300), PatternBytes(300, 3));
}
