#include <gtest/gtest.h>

#include <filesystem>

#include "archive/CFLArchive.h"
#include "archive/CFLFilterChain.h"
#include "archive/MemFile.h"
#include "tests/archive/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

// Installs an archive as the program-wide one for the test's duration.
class MemFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    diskPath = dir / "both.txt";
    archiveOnly = dir / "packed-only.bin";
    WriteFile(diskPath, ToBytes("from disk"));
    WriteFile(dir / "show.cfl",
              BuildImage({{diskPath, ToBytes("from the archive"), cfl_filter::kNone},
                          {archiveOnly, PatternBytes(100), cfl_filter::kZlib},
                          {"folder", ToBytes("an entry named like a folder"), cfl_filter::kNone}}));
    std::filesystem::create_directory(dir / "folder");
    ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
    SetProgramArchive(&archive);
  }
  void TearDown() override { SetProgramArchive(nullptr); }

  ScratchDir dir;
  CFLArchive archive;
  std::string diskPath, archiveOnly;
};

Bytes ReadAll(MemFile* f) {
  Bytes out(static_cast<std::size_t>(f->size));
  MemFileSeek(f, 0, 0);
  EXPECT_EQ(MemFileRead(out.data(), 1, out.size(), f), out.size());
  return out;
}

}  // namespace

TEST_F(MemFileTest, DiskFileWinsOverArchiveEntry) {
  MemFile* f = MemFileOpen(diskPath.c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadAll(f), ToBytes("from disk"));
  EXPECT_EQ(MemFileClose(f), 0);
}

TEST_F(MemFileTest, ArchiveEntryOpensWithItsDirectorySize) {
  MemFile* f = MemFileOpen(archiveOnly.c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->size, 100);
  EXPECT_EQ(MemFileTell(f), 0);
  EXPECT_EQ(ReadAll(f), PatternBytes(100));
  MemFileClose(f);
}

TEST_F(MemFileTest, FolderOnDiskDoesNotHideTheArchiveEntry) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  MemFile* f = MemFileOpen("folder");
  std::filesystem::current_path(previous);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadAll(f), ToBytes("an entry named like a folder"));
  MemFileClose(f);
}

TEST_F(MemFileTest, MissingNamesAndUnreadableEntriesGiveNoHandle) {
  EXPECT_EQ(MemFileOpen((dir / "nowhere").c_str()), nullptr);
  EXPECT_EQ(MemFileOpen(nullptr), nullptr);
  std::filesystem::remove(dir / "show.cfl");
  EXPECT_EQ(MemFileOpen(archiveOnly.c_str()), nullptr);
  SetProgramArchive(nullptr);
  MemFile* f = MemFileOpen(diskPath.c_str());
  ASSERT_NE(f, nullptr);
  MemFileClose(f);
}

TEST_F(MemFileTest, SeekClampsToTheEnds) {
  MemFile* f = MemFileOpen(archiveOnly.c_str());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(MemFileSeek(f, 10, 2), 0);
  EXPECT_EQ(MemFileTell(f), 100);
  EXPECT_EQ(MemFileSeek(f, -5, 0), 0);
  EXPECT_EQ(MemFileTell(f), 0);
  MemFileSeek(f, 40, 0);
  MemFileSeek(f, 25, 1);
  EXPECT_EQ(MemFileTell(f), 65);
  MemFileSeek(f, -30, 2);
  EXPECT_EQ(MemFileTell(f), 70);
  MemFileSeek(f, 3, 7);
  EXPECT_EQ(MemFileTell(f), 70);
  MemFileSeek(f, 0x7FFFFFFF, 1);
  EXPECT_EQ(MemFileTell(f), 100);
  MemFileSeek(f, INT32_MIN, 2);
  EXPECT_EQ(MemFileTell(f), 0);
  MemFileClose(f);
}

TEST_F(MemFileTest, ReadStopsAtTheEnd) {
  MemFile* f = MemFileOpen(archiveOnly.c_str());
  ASSERT_NE(f, nullptr);
  const Bytes data = PatternBytes(100);
  Bytes out(200, 0);
  MemFileSeek(f, 70, 0);
  EXPECT_EQ(MemFileRead(out.data(), 1, 100, f), 30u);
  EXPECT_TRUE(std::equal(data.begin() + 70, data.end(), out.begin()));
  EXPECT_EQ(MemFileTell(f), 100);
  EXPECT_EQ(MemFileRead(out.data(), 1, 100, f), 0u);

  Bytes words(16, 0xAA);
  MemFileSeek(f, 90, 0);
  EXPECT_EQ(MemFileRead(words.data(), 4, 10, f), 2u);
  EXPECT_TRUE(std::equal(data.begin() + 90, data.end(), words.begin()));
  EXPECT_EQ(words[10], 0xAA);
  EXPECT_EQ(MemFileTell(f), 100);

  MemFileSeek(f, 0, 0);
  EXPECT_EQ(MemFileRead(out.data(), 0, 10, f), 0u);
  EXPECT_EQ(MemFileRead(out.data(), 8, SIZE_MAX / 4, f), 12u);
  EXPECT_EQ(MemFileTell(f), 100);
  MemFileClose(f);
}

TEST(MemFile, NullHandleResults) {
  char buffer[4];
  EXPECT_EQ(MemFileSeek(nullptr, 0, 0), 1);
  EXPECT_EQ(MemFileTell(nullptr), -1);
  EXPECT_EQ(MemFileRead(buffer, 1, 4, nullptr), 0u);
  EXPECT_EQ(MemFileClose(nullptr), -1);
}
