#include "media/SoundFiles.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace {

// The sound library may still hold a handle it closed; once another file has
// taken that slot, the old handle must not read, seek or close the new file.
TEST(SoundFiles, AStaleHandleReachesNoFile) {
  TempDir dir;
  const int before = SoundFilesOpen();
  const unsigned int old = SoundFileOpen(dir.write("a.mp3", "first").c_str());
  ASSERT_NE(old, 0u);
  SoundFileClose(old);
  const unsigned int now = SoundFileOpen(dir.write("b.mp3", "second").c_str());
  ASSERT_NE(now, 0u);
  char bytes[8] = {};
  EXPECT_EQ(SoundFileRead(bytes, 8, old), 0);
  EXPECT_EQ(SoundFileTell(old), -1);
  EXPECT_NE(SoundFileSeek(old, 2, 0), 0);
  SoundFileClose(old);
  EXPECT_EQ(SoundFilesOpen(), before + 1);
  EXPECT_EQ(SoundFileRead(bytes, 8, now), 6);
  EXPECT_EQ(std::string(bytes, 6), "second");
  SoundFileClose(now);
  EXPECT_EQ(SoundFilesOpen(), before);
  EXPECT_EQ(SoundFileRead(bytes, 8, 0), 0);
}

}  // namespace
