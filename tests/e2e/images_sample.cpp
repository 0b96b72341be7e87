// The sample show as the README plays it: packed with cflpack, appended to a copy
// of the player and played from a folder holding nothing else, so every picture,
// sequence and the script come out of the appended archive.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/images_capture.h"

#ifdef SHOW_CFLPACK_EXE

namespace {

TEST(ImagesSample, PlaysFromTheArchiveAppendedToThePlayer) {
  TempDir work;
  const std::string sample = std::string(SHOW_SOURCE_DIR) + "/examples/sample";
  ProcessResult pack = RunProcess(SHOW_CFLPACK_EXE, {"create", work.file("sample.cfl"), sample});
  ASSERT_EQ(pack.exitCode, 0) << pack.output;
  ProcessResult append = RunProcess(
      SHOW_CFLPACK_EXE, {"append", SHOW_DEMO_EXE, work.file("sample.cfl"), work.file("show")});
  ASSERT_EQ(append.exitCode, 0) << append.output;
  std::filesystem::remove(work.file("sample.cfl"));

  // Seven seconds at 2 frames per second: the sky has faded in, the orbs are up.
  ProcessResult run = RunProcess(work.file("show"), {"--headless", "--capture", work.file("out"), "--frames", "png",
                                                     "--fps", "2", "--seconds", "7"},
                                 work.path());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("Error"), std::string::npos) << run.output;
  PngPicture first(work.file("out/frame-000000.png"));
  PngPicture later(work.file("out/frame-000012.png"));
  ASSERT_TRUE(first.valid());
  ASSERT_TRUE(later.valid());
  // At 0 ms the sky is still transparent; at 6 s it shows its blue top.
  EXPECT_EQ(first.at(300, 5), (Rgb{0, 0, 0}));
  EXPECT_GT(later.at(300, 5).b, 30);
  // The hills (a picture with alpha) lie over the bottom from the start.
  EXPECT_NE(first.at(300, 760), (Rgb{0, 0, 0}));
}

}  // namespace

#endif
