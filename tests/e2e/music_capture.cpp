// Capture runs with music: where the sound lands in audio.wav, the video made
// from it, and shows whose music is damaged or not music at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr long kFrameSamples = 44100 / 30;  // at 30 frames a second

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Music(const std::string& name) {
  return ReadFile(std::string(SHOW_SOURCE_DIR) + "/tests/data/music/" + name);
}

// `mux`: leave ffmpeg on the path, so the run ends by making show.mp4 (slow).
ProcessResult Capture(const TempDir& show, int fps = 30, bool mux = false) {
  std::vector<std::string> environment;
  if (!mux) environment.push_back("PATH=" + show.path());
  return RunProcess(SHOW_DEMO_EXE,
                    {"--headless", "--capture", show.file("out"), "--fps", std::to_string(fps),
                     "--data", show.path()},
                    "", environment);
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
  auto u = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
  return u(at) | u(at + 1) << 8 | u(at + 2) << 16 | u(at + 3) << 24;
}

// The left channel of DIR/audio.wav after checking that its header fits the file.
std::vector<int> Left(const std::string& path) {
  std::string b = ReadFile(path);
  EXPECT_GE(b.size(), 44u) << path;
  if (b.size() < 44) return {};
  EXPECT_EQ(b.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(b, 4), b.size() - 8);
  EXPECT_EQ(Le32(b, 24), 44100u);
  EXPECT_EQ(Le32(b, 40), b.size() - 44);
  std::vector<int> left;
  for (std::size_t i = 44; i + 3 < b.size(); i += 4)
    left.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(b[i]) |
                                             static_cast<unsigned char>(b[i + 1]) << 8));
  return left;
}

long Loudest(const std::vector<int>& s, long first, long last) {
  long at = -1;
  int peak = -1;
  for (long i = first; i < last && i < static_cast<long>(s.size()); ++i)
    if (std::abs(s[static_cast<std::size_t>(i)]) > peak) peak = std::abs(s[static_cast<std::size_t>(i)]), at = i;
  return at;
}

int Peak(const std::vector<int>& s, long first, long last) {
  long at = Loudest(s, first, last);
  return at < 0 ? 0 : std::abs(s[static_cast<std::size_t>(at)]);
}

TEST(MusicCapture, ClicksLandWithinAFrameOfTheirScriptTime) {
  TempDir show;
  show.write("click.mp3", Music("marker.mp3"));  // clicks at 1.0 s and 2.5 s of the music
  show.write("demo.psc",
             "loadmusic click.mp3 Theme\nwaituntil 390\nplaymusic theme 500\nwaituntil 2500\n");
  ProcessResult r = Capture(show, 30, true);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  std::vector<int> left = Left(show.file("out/audio.wav"));
  // Frames 0 .. 76 (the last one, at 2533 ms, ends the show), 1470 samples each.
  ASSERT_EQ(left.size(), 77u * kFrameSamples);
  // Played from 500 ms at script time 390: the clicks belong at 890 and 2390 ms.
  EXPECT_NEAR(Loudest(left, 0, 2 * 44100), 890 * 441 / 10, kFrameSamples);
  EXPECT_NEAR(Loudest(left, 2 * 44100, 77 * kFrameSamples), 2390 * 441 / 10, kFrameSamples);
  EXPECT_LT(Peak(left, 0, 800 * 441 / 10), 300) << "silence before the first click";
  if (std::system("ffmpeg -version >/dev/null 2>&1") == 0) {
    EXPECT_GT(fs::file_size(show.file("out/show.mp4")), 0u);
    EXPECT_NE(r.output.find("show.mp4"), std::string::npos) << r.output;
  } else {
    EXPECT_NE(r.output.find("ffmpeg is not installed"), std::string::npos) << r.output;
  }
}

TEST(MusicCapture, DamagedMusicFallsSilentAndTheShowGoesOn) {
  TempDir show;
  std::string mp3 = Music("tone.mp3");
  mp3.replace(mp3.size() / 2, 2000, std::string(2000, '\0'));
  show.write("tone.mp3", mp3);
  show.write("demo.psc", "loadmusic tone.mp3 t\nplaymusic t 0\nwaituntil 3000\n");
  ProcessResult r = Capture(show, 10);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  std::vector<int> left = Left(show.file("out/audio.wav"));
  ASSERT_EQ(left.size(), 32u * 4410);  // frames 0 .. 31 at 10 a second
  EXPECT_GT(Peak(left, 44100, 55000), 10000) << "the tone before the damage";
  EXPECT_EQ(Peak(left, 2 * 44100, 3 * 44100), 0) << "silence after it";
}

TEST(MusicCapture, AFileThatIsNotMusicEndsTheShowLeavingAPlayableWav) {
  TempDir show;
  show.write("notes.mp3", std::string(3000, 'n'));
  show.write("demo.psc", "waituntil 100\nloadmusic notes.mp3 m\nwaituntil 1000\n");
  ProcessResult r = Capture(show);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("MP3Player Error: Unknown file format"), std::string::npos) << r.output;
  // Frames at 0, 33, 66 and 100 ms were presented; the load at 133 ms ended the run.
  EXPECT_EQ(Left(show.file("out/audio.wav")).size(), 4u * kFrameSamples);
}

TEST(MusicCapture, MissingMusicEndsTheShowWithFileNotFound) {
  TempDir show;
  show.write("demo.psc", "loadmusic nowhere.mp3 m\nwaituntil 1000\n");
  ProcessResult r = Capture(show);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("MP3Player Error: File not found"), std::string::npos) << r.output;
}

}  // namespace
