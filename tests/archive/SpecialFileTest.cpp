// Files that are not regular files (FIFOs, devices) must neither stall an open
// nor be read: a FIFO named like the archive beside the player once blocked
// start-up, and a device such as /dev/zero never ends.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/BinaryFileReader.h"
#include "archive/CFLArchive.h"
#include "archive/MemFile.h"
#include "tests/archive/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

// A FIFO nobody writes to: opening it for reading the ordinary way blocks.
TEST(SpecialFileDeathTest, FifoOpensNeitherAsArchiveNorAsFileAndNeverBlocks) {
  ScratchDir dir;
  const std::string fifo = dir / "demo.cfl";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(5);  // a blocked open ends the child by the signal, failing the test
        CFLArchive archive;
        const bool opened = archive.Open(fifo.c_str());
        BinaryFileReader reader(fifo.c_str());
        MemFile* file = MemFileOpen(fifo.c_str());
        _exit(!opened && !reader.IsOpen() && file == nullptr ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(SpecialFile, DevicesAndFoldersDoNotOpen) {
  ScratchDir dir;
  for (const std::string& path : {std::string("/dev/zero"), std::string("/dev/null"), dir / ""}) {
    BinaryFileReader reader(path.c_str());
    EXPECT_FALSE(reader.IsOpen()) << path;
    EXPECT_EQ(MemFileOpen(path.c_str()), nullptr) << path;
    CFLArchive archive;
    EXPECT_FALSE(archive.Open(path.c_str())) << path;
  }
  WriteFile(dir / "plain.bin", PatternBytes(10));
  BinaryFileReader plain((dir / "plain.bin").c_str());
  EXPECT_TRUE(plain.IsOpen());
  EXPECT_EQ(plain.Size(), 10);
}

}  // namespace
