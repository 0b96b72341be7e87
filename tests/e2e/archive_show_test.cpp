// Shows played from archives: one appended to a copy of the player, and one in
// the .cfl file beside the player, which wins over loose files.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

int CountFrames(const std::string& dir) {
  int n = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error))
    if (entry.path().filename().string().rfind("frame-", 0) == 0) ++n;
  return n;
}

ProcessResult CaptureWith(const std::string& player, const TempDir& t) {
  return RunProcess(
      player, {"--headless", "--capture", t.file("out"), "--frames", "png", "--fps", "30", "--data", t.file("data")});
}

void Pack(const std::string& out, const std::string& folder) {
  ProcessResult r = RunProcess(SHOW_CFLPACK_EXE, {"create", out, "--filter", "auto", folder});
  ASSERT_EQ(r.exitCode, 0) << r.output;
}

TEST(ShowFromArchive, ScriptOnlyInsideTheAppendedArchivePlays) {
  TempDir t;
  t.write("packed/demo.psc", "waituntil 100\n");
  fs::create_directories(t.file("data"));
  Pack(t.file("show.cfl"), t.file("packed"));
  ProcessResult appended =
      RunProcess(SHOW_CFLPACK_EXE, {"append", SHOW_DEMO_EXE, t.file("show.cfl"), t.file("show")});
  ASSERT_EQ(appended.exitCode, 0) << appended.output;

  ProcessResult r = CaptureWith(t.file("show"), t);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // Frames at 0, 33, 66 and 100 ms draw; the one at 133 ms ends the show.
  EXPECT_EQ(CountFrames(t.file("out")), 5) << r.output;
}

TEST(ShowFromArchive, ArchiveBesideThePlayerWinsOverALooseScript) {
  TempDir t;
  t.write("packed/demo.psc", "waituntil 100\n");
  t.write("data/demo.psc", "waituntil 1000\n");
  fs::create_directories(t.file("bin"));
  fs::copy_file(SHOW_DEMO_EXE, t.file("bin/demo"));
  Pack(t.file("bin/demo.cfl"), t.file("packed"));

  ProcessResult r = CaptureWith(t.file("bin/demo"), t);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(CountFrames(t.file("out")), 5) << r.output;

  // Without the archive the loose script plays: 32 frames.
  fs::remove(t.file("bin/demo.cfl"));
  fs::remove_all(t.file("out"));
  ProcessResult loose = CaptureWith(t.file("bin/demo"), t);
  ASSERT_EQ(loose.exitCode, 0) << loose.output;
  EXPECT_EQ(CountFrames(t.file("out")), 32);
}

}  // namespace
