// The player binary as a user runs it: capture runs, exit statuses and messages.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

int CountFrames(const std::string& dir) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().rfind("frame-", 0) == 0) ++n;
  return n;
}

ProcessResult Capture(const TempDir& show, int fps = 30) {
  return RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", show.file("out"), "--frames", "png", "--fps",
                                    std::to_string(fps), "--data", show.path()});
}

TEST(PlayerRun, WaitOfOneSecondAt30FpsPresents32Frames) {
  TempDir show;
  show.write("demo.psc", "waituntil 1000\n");
  ProcessResult r = Capture(show);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // Frames 0..30 are drawn at 0, 33, ..., 1000 ms (1000 is not past the wait);
  // frame 31 at 1033 ms ends the show and is presented black.
  EXPECT_EQ(CountFrames(show.file("out")), 32);
  EXPECT_TRUE(fs::exists(show.file("out/frame-000031.png")));
}

TEST(PlayerRun, NoScriptPresentsOneBlackFrame) {
  TempDir show;
  ProcessResult r = Capture(show);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 1);
}

TEST(PlayerRun, SecondsOptionStopsALongShow) {
  TempDir show;
  show.write("demo.psc", "waituntil 600000\n");
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", show.file("out"), "--frames", "png",
                                               "--fps", "10", "--seconds", "0.5", "--data",
                                               show.path()});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // Frames at 0, 100, ..., 400 ms: half a second of video.
  EXPECT_EQ(CountFrames(show.file("out")), 5);
}

TEST(PlayerRun, WithoutADisplayTheQuestionCannotBeAsked) {
  TempDir show;
  show.write("demo.psc", "waituntil 10\n");
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {}, show.path(),
                               {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  EXPECT_EQ(r.exitCode, 10) << r.output;
  EXPECT_NE(r.output.find("Couldn't open MessageBox, dying"), std::string::npos) << r.output;
}

TEST(PlayerRun, WithoutADisplayAWindowedRunSaysWhatIsMissing) {
  TempDir show;
  show.write("demo.psc", "waituntil 10\n");
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {"--windowed"}, show.path(),
                               {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  EXPECT_EQ(r.exitCode, 5) << r.output;
  EXPECT_NE(r.output.find("no display"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Demo: Error opening window"), std::string::npos) << r.output;
}

TEST(PlayerRun, UnknownKeywordEndsWithItsMessageAndStatus0) {
  TempDir show;
  show.write("demo.psc", "waituntil 10\nJumpTo 5\n");
  ProcessResult r = Capture(show);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("Error loading script: Invalid command 'jumpto' in script demo.psc!"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 0);  // parsing happens before the first frame
}

TEST(PlayerRun, RelativeCaptureFolderIsNamedFromWhereThePlayerStarted) {
  TempDir here;
  here.write("show/demo.psc", "waituntil 10\n");
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", "frames", "--frames", "png", "--fps", "30",
                                               "--data", "show"},
                               here.path());
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(CountFrames(here.file("frames")), 2);
  EXPECT_FALSE(fs::exists(here.file("show/frames")));
}

TEST(PlayerRun, VersionNamesThePlayerAndTheBuild) {
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {"--version"});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output.rfind("demo, the show player, version ", 0), 0u) << r.output;
  EXPECT_NE(r.output.find(" build, commit "), std::string::npos) << r.output;
}

TEST(PlayerRun, UnknownOptionGivesUsageAndStatus2) {
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {"--frobnicate"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("usage: demo"), std::string::npos);
}

TEST(PlayerRun, PlayOfAnEmptySlotEndsTheShow) {
  TempDir show;
  show.write("demo.psc", "waituntil 50\nplaymusic theme 0\nwaituntil 5000\n");
  ProcessResult r = Capture(show);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("PlayMusic error"), std::string::npos) << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 2);  // 0 and 33 ms; at 66 ms the play fails
}

TEST(PlayerInput, CarriageReturnLineEndsPlayEveryCommand) {
  TempDir show;
  // Saved by an old Mac editor: before, only the first wait ran (5 frames).
  show.write("demo.psc", "waituntil 300\rwaituntil 1000\r");
  ProcessResult r = Capture(show, 10);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 12);
}

TEST(PlayerInput, WhatIsMissingOrTooOddIsSaidOnStandardError) {
  TempDir show;
  ProcessResult missing = Capture(show);
  ASSERT_EQ(missing.exitCode, 0) << missing.output;
  EXPECT_NE(missing.output.find("script demo.psc not found"), std::string::npos)
      << missing.output;
  TempDir other;
  other.write("demo.psc", "waituntil 3000000000\n");
  ProcessResult wrapped = Capture(other);
  EXPECT_EQ(wrapped.exitCode, 0) << wrapped.output;
  EXPECT_NE(wrapped.output.find("Error loading script: Invalid number '3000000000' at line 1 of "
                                "script demo.psc!"),
            std::string::npos)
      << wrapped.output;
}

TEST(PlayerInput, AFifoNamedLikeTheArchiveBesideThePlayerDoesNotBlockStartUp) {
  TempDir show;
  const std::string player = show.file("demo");
  fs::copy_file(SHOW_DEMO_EXE, player);
  fs::permissions(player, fs::perms::owner_all);
  ASSERT_EQ(mkfifo(show.file("demo.cfl").c_str(), 0600), 0);
  show.write("demo.psc", "waituntil 100\n");
  ProcessResult r = RunProcess(player, {"--headless", "--capture", show.file("out"), "--frames",
                                        "png", "--fps", "10", "--data", show.path()},
                               "", {}, 30);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("demo.cfl cannot be read (it is not a regular file)"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 3);
}

// A headless run pumps no window events: the stop signals must still end it as
// Escape does, with the orderly status.
TEST(PlayerInput, SigintAndSigtermEndAHeadlessRunInOrder) {
  for (int signal : {SIGINT, SIGTERM}) {
    TempDir show;
    show.write("demo.psc", "waituntil 600000\n");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      execl(SHOW_DEMO_EXE, SHOW_DEMO_EXE, "--headless", "--data", show.path().c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(pid, signal);
    int status = 0;
    for (int i = 0; i < 400 && waitpid(pid, &status, WNOHANG) != pid; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (i == 399) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "signal " << signal << " did not end the run";
      }
    }
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << signal << " itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}

}  // namespace
