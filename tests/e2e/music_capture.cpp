// Capture runs with music: where the sound lands in audio.wav, the video made
// from it, and shows whose music is damaged or not music at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/SoundTestSupport.h"
#include "support/TempDir.h"

using namespace sound_test;

namespace {

namespace fs = std::filesystem;

constexpr long kFrameSamples = 44100 / 30;  // at 30 frames a second

std::string Music(const std::string& name) { return ReadBytes(MusicPath(name)); }

// `mux`: leave ffmpeg on the path, so the run ends by making show.mp4 (slow).
ProcessResult Capture(const TempDir& show, int fps = 30, bool mux = false) {
  std::vector<std::string> environment;
  if (!mux) environment.push_back("PATH=" + show.path());
  return RunProcess(SHOW_DEMO_EXE,
                    {"--headless", "--capture", show.file("out"), "--frames", "png", "--fps", std::to_string(fps),
                     "--data", show.path()},
                    "", environment);
}

TEST(MusicCapture, ClicksLandWithinAFrameOfTheirScriptTime) {
  TempDir show;
  show.write("click.mp3", Music("marker.mp3"));  // clicks at 1.0 s and 2.5 s of the music
  show.write("demo.psc",
             "loadmusic click.mp3 Theme\nwaituntil 390\nplaymusic theme 500\nwaituntil 2500\n");
  ProcessResult r = Capture(show, 30, true);
  ASSERT_EQ(r.exitCode, 0) << r.output;
  std::vector<std::int16_t> wav = ReadWav(show.file("out/audio.wav"));
  // Frames 0 .. 76 (the last one, at 2533 ms, ends the show), 1470 samples each.
  ASSERT_EQ(wav.size(), 2u * 77 * kFrameSamples);
  // Played from 500 ms at script time 390: the clicks belong at 890 and 2390 ms.
  EXPECT_NEAR(LoudestFrame(wav, 0, 2 * 44100), 890 * 441 / 10, kFrameSamples);
  EXPECT_NEAR(LoudestFrame(wav, 2 * 44100, 77 * kFrameSamples), 2390 * 441 / 10, kFrameSamples);
  EXPECT_LT(Peak(wav, 0, 800 * 441 / 10), 300) << "silence before the first click";
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
  std::vector<std::int16_t> wav = ReadWav(show.file("out/audio.wav"));
  ASSERT_EQ(wav.size(), 2u * 32 * 4410);  // frames 0 .. 31 at 10 a second
  EXPECT_GT(Peak(wav, 44100, 55000), 10000) << "the tone before the damage";
  EXPECT_EQ(Peak(wav, 2 * 44100, 3 * 44100), 0) << "silence after it";
}

TEST(MusicCapture, AFileThatIsNotMusicEndsTheShowLeavingAPlayableWav) {
  TempDir show;
  show.write("notes.mp3", std::string(3000, 'n'));
  show.write("demo.psc", "waituntil 100\nloadmusic notes.mp3 m\nwaituntil 1000\n");
  ProcessResult r = Capture(show);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("MP3Player Error: Unknown file format"), std::string::npos) << r.output;
  // Frames at 0, 33, 66 and 100 ms were presented; the load at 133 ms ended the run.
  EXPECT_EQ(ReadWav(show.file("out/audio.wav")).size(), 2u * 4 * kFrameSamples);
}

TEST(MusicCapture, MissingMusicEndsTheShowWithFileNotFound) {
  TempDir show;
  show.write("demo.psc", "loadmusic nowhere.mp3 m\nwaituntil 1000\n");
  ProcessResult r = Capture(show);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.output.find("MP3Player Error: File not found"), std::string::npos) << r.output;
}

}  // namespace
