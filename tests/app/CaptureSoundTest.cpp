// The sound of capture runs: the WAV file as it grows, the samples given to each
// frame, and the final mux.
#include "app/CaptureSound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/VideoMux.h"
#include "app/WavWriter.h"
#include "media/MP3Player.h"
#include "media/MusicTestSupport.h"
#include "media/SoundSystem.h"
#include "support/TempDir.h"

using namespace music_test;

namespace {

TEST(WavWriterTest, TheFileIsCompleteAfterEveryAppend) {
  TempDir dir;
  WavWriter wav(dir.file("a.wav"), 44100);
  ASSERT_TRUE(wav.ok());
  EXPECT_TRUE(ReadWav(dir.file("a.wav")).empty());
  const std::int16_t frames[] = {1, -1, -32768, 32767, 258, 0};
  ASSERT_TRUE(wav.append(frames, 3));
  EXPECT_EQ(ReadWav(dir.file("a.wav")), std::vector<std::int16_t>(frames, frames + 6));
  ASSERT_TRUE(wav.append(frames, 1));
  EXPECT_EQ(ReadWav(dir.file("a.wav")).size(), 8u);
  EXPECT_EQ(wav.frames(), 4u);
  EXPECT_FALSE(WavWriter(dir.file("no/such/folder.wav"), 44100).ok());
}

class CaptureSoundTest : public OfflineMusic {
 protected:
  TempDir dir;
};

TEST_F(CaptureSoundTest, EachFrameGetsItsShareOfSamplesWithoutDrift) {
  {
    CaptureSound sound(dir.path(), FrameRate{144, 1}, dir.file("show.mp4"));  // 306.25 samples a frame
    for (int i = 0; i < 144 * 3; ++i) sound.frame();
  }
  EXPECT_EQ(ReadWav(dir.file("audio.wav")).size(), 2u * 3 * 44100);
}

TEST_F(CaptureSoundTest, MusicStartedAtAFrameIsHeardFromThatFramesFirstSample) {
  CaptureSound sound(dir.path(), FrameRate{30, 1}, dir.file("show.mp4"));
  sound.frame();  // before the script player: silence
  StartSoundSystem();
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Offline);
  for (int i = 1; i < 10; ++i) sound.frame();
  MP3Player music(MusicPath("marker.mp3").c_str());
  music.play(0);  // at frame 10, 333 ms: the click is due at 1333 ms
  for (int i = 10; i < 75; ++i) sound.frame();
  std::vector<std::int16_t> wav = ReadWav(dir.file("audio.wav"));
  ASSERT_EQ(wav.size(), 2u * 75 * 1470);
  EXPECT_EQ(LoudestFrame(wav), 10 * 1470 + kSecond);
}

TEST_F(CaptureSoundTest, WithoutFfmpegTheRunSaysHowToMux) {
  CaptureSound sound(dir.path(), FrameRate{30, 1}, dir.file("show.mp4"));
  sound.frame();
  const char* path = std::getenv("PATH");
  std::string saved = path ? path : "";
  setenv("PATH", dir.path().c_str(), 1);
  testing::internal::CaptureStderr();
  sound.finish(1, 40);
  std::string said = testing::internal::GetCapturedStderr();
  setenv("PATH", saved.c_str(), 1);
  EXPECT_NE(said.find("ffmpeg is not installed"), std::string::npos) << said;
  EXPECT_NE(said.find(MuxCommandLine(dir.path(), FrameRate{30, 1}, dir.file("show.mp4"), 40)),
            std::string::npos)
      << said;
  EXPECT_NE(said.find("-framerate 30 -start_number 40 -i " + dir.path() + "/frame-%06d.png -i " +
                      dir.path() + "/audio.wav"),
            std::string::npos)
      << said;
  EXPECT_FALSE(std::filesystem::exists(dir.file("show.mp4")));
}

// Frame files numbered from 0, and from far past the few numbers ffmpeg tries
// on its own (a run started later than 0).
TEST_F(CaptureSoundTest, WithFfmpegTheFramesAndSoundBecomeAVideoFromTheirFirstNumber) {
  if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  for (int first : {0, 250}) {
    SCOPED_TRACE(first);
    const std::string folder = dir.file("from" + std::to_string(first));
    std::filesystem::create_directories(folder);
    std::string frames = "ffmpeg -nostdin -v error -f lavfi -i color=c=red:s=64x48 -frames:v 3 "
                         "-start_number " + std::to_string(first) + " '" + folder +
                         "/frame-%06d.png'";
    ASSERT_EQ(std::system(frames.c_str()), 0);
    CaptureSound sound(folder, FrameRate{30, 1}, folder + "/show.mp4");
    for (int i = 0; i < 3; ++i) sound.frame();
    testing::internal::CaptureStderr();
    sound.finish(3, first);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("into " + folder + "/show.mp4"), std::string::npos) << said;
    ASSERT_TRUE(std::filesystem::exists(folder + "/show.mp4")) << said;
    EXPECT_GT(std::filesystem::file_size(folder + "/show.mp4"), 0u);
  }
}

}  // namespace
