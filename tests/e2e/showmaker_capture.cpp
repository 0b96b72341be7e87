// Capture runs of the show maker's options: starting later, stopping by frames
// written, signals, files never overwritten, odd folder names, other sizes and
// rates, and the video read back with ffprobe.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/images_capture.h"
#include "support/RunProcess.h"
#include "support/SoundTestSupport.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Sample(const std::string& name) {
  return Bytes(std::string(SHOW_SOURCE_DIR) + "/examples/sample/" + name);
}

ProcessResult Player(const TempDir& show, std::vector<std::string> extra, bool ffmpeg = false) {
  std::vector<std::string> args = {"--headless", "--data", show.path()};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<std::string> environment;
  if (!ffmpeg) environment.push_back("PATH=" + show.path());
  return RunProcess(SHOW_DEMO_EXE, args, "", environment);
}

int CountFrames(const std::string& dir) {
  int n = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error))
    if (entry.path().filename().string().rfind("frame-", 0) == 0) ++n;
  return n;
}

std::string FrameFile(const std::string& dir, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%06d.png", n);
  return dir + name;
}

bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

// A show with moves, fades, a sequence and music, 4 s long.
void WriteMovingShow(const TempDir& show) {
  show.write("music.mp3", Sample("music.mp3"));
  show.write("orb.png", Sample("orb.png"));
  for (int i = 0; i < 12; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "spin%02d.png", i);
    show.write(name, Sample(name));
  }
  show.write("spinner.seq", Sample("spinner.seq"));
  show.write("demo.psc",
             "loadimage orb.png orb\nloadimage spinner.seq spin\ncreatecolor 40 0 70 violet\n"
             "loadmusic music.mp3 theme\nwaituntil 300\nplaymusic theme 1200\n"
             "setlayer violet -1\nsetlayeralpha -1 0\nsetlayeralphadelta -1 0.4\n"
             "setlayer orb 5\nsetlayerpos 5 100 600\nsetlayerposdelta 5 90 -70\n"
             "setlayer spin 6\nsetlayerpos 6 448 240\n"
             "waituntil 1900\nsetlayeralphadelta 5 -0.3\nsetlayerposdelta 6 -40 10\n"
             "waituntil 4000\n");
}

TEST(StartAnywhere, FramesFromTheStartTimeMatchARunFromTheStart) {
  TempDir show;
  WriteMovingShow(show);
  ProcessResult full = Player(show, {"--capture", show.file("full"), "--frames", "png", "--fps", "10"});
  ASSERT_EQ(full.exitCode, 0) << full.output;
  ProcessResult late = Player(show, {"--capture", show.file("late"), "--frames", "png", "--fps", "10",
                                  "--start", "2.5"});
  ASSERT_EQ(late.exitCode, 0) << late.output;
  const int frames = CountFrames(show.file("full"));
  ASSERT_GT(frames, 30);
  EXPECT_EQ(CountFrames(show.file("late")), frames - 25);
  EXPECT_FALSE(fs::exists(FrameFile(show.file("late"), 24)));
  for (int n = 25; n < frames; ++n)
    EXPECT_TRUE(Bytes(FrameFile(show.file("full"), n)) == Bytes(FrameFile(show.file("late"), n)))
        << "frame " << n;
  std::vector<std::int16_t> fullWav = sound_test::ReadWav(show.file("full/audio.wav"));
  std::vector<std::int16_t> lateWav = sound_test::ReadWav(show.file("late/audio.wav"));
  ASSERT_EQ(fullWav.size(), static_cast<std::size_t>(frames) * 4410 * 2);
  ASSERT_EQ(lateWav.size(), fullWav.size() - 25 * 4410 * 2);
  EXPECT_TRUE(std::equal(lateWav.begin(), lateWav.end(), fullWav.begin() + 25 * 4410 * 2));
  EXPECT_GT(sound_test::Peak(lateWav, 0, 4410), 100) << "the music plays from the first frame";
}

TEST(StartAnywhere, AStartPastTheEndEndsAtOnce) {
  TempDir show;
  show.write("demo.psc", "waituntil 500\n");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--frames", "png", "--fps", "10",
                               "--start", "60"});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 0);
}

TEST(CaptureBounds, SecondsCountFramesWrittenWhateverTheClockDoes) {
  TempDir show;
  show.write("demo.psc", "settime -2147483648\nwaituntil 600000\n");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--frames", "png", "--fps", "10",
                               "--seconds", "2"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 20);
}

TEST(CaptureBounds, SigtermEndsTheRunKeepingFramesAndAPlayableWav) {
  TempDir show;
  show.write("demo.psc", "waituntil 600000\n");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("PATH", show.path().c_str(), 1);
    execl(SHOW_DEMO_EXE, SHOW_DEMO_EXE, "--headless", "--capture", show.file("out").c_str(),
          "--frames", "png", "--fps", "10", "--data", show.path().c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 600 && CountFrames(show.file("out")) < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 600; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (i == 599) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      FAIL() << "SIGTERM did not end the run";
    }
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const int frames = CountFrames(show.file("out"));
  EXPECT_GE(frames, 3);
  EXPECT_EQ(sound_test::ReadWav(show.file("out/audio.wav")).size(),
            static_cast<std::size_t>(frames) * 4410 * 2);
}

TEST(CaptureFiles, FilesThePlayerDidNotWriteAreNeverOverwritten) {
  TempDir show;
  show.write("demo.psc", "waituntil 100\n");
  show.write("out/audio.wav", "my own recording");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--frames", "png", "--fps", "10"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("audio.wav is already there"), std::string::npos) << r.output;
  EXPECT_EQ(Bytes(show.file("out/audio.wav")), "my own recording");
  EXPECT_EQ(CountFrames(show.file("out")), 0);

  show.write("out2/show.mp4", "my own film");
  r = Player(show, {"--capture", show.file("out2"), "--fps", "10"}, true);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(Bytes(show.file("out2/show.mp4")), "my own film");

  show.write("out3/frame-000000.png", "old frame");
  r = Player(show, {"--capture", show.file("out3"), "--frames", "png", "--fps", "10"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(Bytes(show.file("out3/frame-000000.png")), "old frame");
}

int ProbeInt(const std::string& file, const std::string& entry) {
  std::string command = "ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=" +
                        entry + " -of csv=p=0 '" + file + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char line[128] = {};
  if (!std::fgets(line, sizeof line, pipe)) line[0] = '\0';
  pclose(pipe);
  return std::atoi(line);
}

double ProbeDuration(const std::string& file) {
  std::string command = "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + file + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char line[128] = {};
  if (!std::fgets(line, sizeof line, pipe)) line[0] = '\0';
  pclose(pipe);
  return std::atof(line);
}

TEST(CaptureVideo, StraightToVideoHasTheFramesSizeAndDuration) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  TempDir show;
  show.write("demo.psc", "createcolor 255 0 0 red\nsetlayer red 0\nwaituntil 1450\n");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--fps", "10", "--size", "321x240",
                               "--video", show.file("film.mp4")},
                        true);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // Standard error is a pipe here: progress as whole lines.
  EXPECT_EQ(r.output.rfind("demo: frame ", 0), 0u) << "progress line: " << r.output;
  EXPECT_NE(r.output.find("captured 16 frames"), std::string::npos) << r.output;
  EXPECT_EQ(CountFrames(show.file("out")), 0) << "no frame files";
  EXPECT_EQ(ProbeInt(show.file("film.mp4"), "nb_read_frames"), 16);  // 0 .. 1500 ms
  EXPECT_EQ(ProbeInt(show.file("film.mp4"), "width"), 322);          // made even
  EXPECT_EQ(ProbeInt(show.file("film.mp4"), "height"), 240);
  EXPECT_NEAR(ProbeDuration(show.file("film.mp4")), 1.6, 0.05);
}

TEST(CaptureVideo, AFolderNameWithAPercentSignStillMuxes) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  TempDir show;
  show.write("demo.psc", "waituntil 250\n");
  ProcessResult r = Player(show, {"--capture", show.file("100%d"), "--frames", "png", "--fps", "10"},
                        true);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(ProbeInt(show.file("100%d/show.mp4"), "nb_read_frames"), 4) << r.output;
}

// Frame files of a late start are numbered from the start's frame; the closing
// mux must look for them there.
TEST(CaptureVideo, FrameFilesFromALateStartStillMux) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  TempDir show;
  show.write("demo.psc", "createcolor 0 0 255 blue\nsetlayer blue 0\nwaituntil 3000\n");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--frames", "png", "--fps", "10",
                               "--start", "2.5"},
                        true);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ASSERT_TRUE(fs::exists(FrameFile(show.file("out"), 25))) << r.output;
  EXPECT_FALSE(fs::exists(FrameFile(show.file("out"), 24)));
  EXPECT_NE(r.output.find("muxed the frames and audio.wav into"), std::string::npos) << r.output;
  EXPECT_EQ(ProbeInt(show.file("out/show.mp4"), "nb_read_frames"), CountFrames(show.file("out")))
      << r.output;
}

TEST(CaptureVideo, FfmpegFailingMidRunEndsTheRunWithItsMessage) {
  TempDir show;
  show.write("demo.psc", "waituntil 600000\n");
  std::string fake = show.write("ffmpeg",
                                "#!/bin/sh\nhead -c 1000000 >/dev/null\n"
                                "echo 'encoder gave up: disk full' >&2\nexit 1\n");
  fs::permissions(fake, fs::perms::owner_all);
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--fps", "10"});
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("encoder gave up: disk full"), std::string::npos) << r.output;
}

TEST(CaptureSize, AWideBackBufferPillarboxesTheScreen) {
  TempDir show;
  show.write("demo.psc", "createcolor 0 0 255 blue\nsetlayer blue 0\nwaituntil 50\n");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--frames", "png", "--fps", "10",
                               "--size", "1920x1080"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  PngPicture frame(FrameFile(show.file("out"), 0));
  ASSERT_TRUE(frame.valid());
  EXPECT_EQ(frame.width, 1920);
  EXPECT_EQ(frame.height, 1080);
  EXPECT_PIXEL(frame, 239, 540, kBlack, 0);
  // The box is x 240 .. 1679; the blitter's half-pixel offset, scaled with the
  // screen, leaves its first column uncovered.
  EXPECT_PIXEL(frame, 241, 540, kBlue, 0);
  EXPECT_PIXEL(frame, 960, 0, kBlue, 0);
  EXPECT_PIXEL(frame, 1679, 1079, kBlue, 0);
  EXPECT_PIXEL(frame, 1680, 540, kBlack, 0);
}

TEST(CaptureRate, AFractionalRateFollowsItsFrameTimes) {
  TempDir show;
  // The layer appears once script time passes 1000 ms: frame 30, at exactly 1001 ms.
  show.write("demo.psc",
             "createcolor 0 255 0 green\nwaituntil 1000\nsetlayer green 0\nwaituntil 5000\n");
  ProcessResult r = Player(show, {"--capture", show.file("out"), "--frames", "png", "--fps",
                               "30000/1001", "--seconds", "1.2"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // 1.2 s at 29.97 a second: 36 frames; frame 30 is at exactly 1001 ms, the first past 1000.
  EXPECT_EQ(CountFrames(show.file("out")), 36);
  EXPECT_PIXEL(PngPicture(FrameFile(show.file("out"), 29)), 5, 5, kBlack, 0);
  EXPECT_PIXEL(PngPicture(FrameFile(show.file("out"), 30)), 5, 5, kGreen, 0);
}

}  // namespace
