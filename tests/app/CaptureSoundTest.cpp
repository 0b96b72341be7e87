// The sound of capture runs: the WAV file as it grows, the samples given to each
// frame, and the final mux.
#include "app/CaptureSound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/VideoMux.h"
#include "app/WavWriter.h"
#include "media/MP3Player.h"
#include "media/MusicTestSupport.h"
#include "media/SoundSystem.h"
#include "support/TempDir.h"

using namespace music_test;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Checks the header against the file and returns the left channel.
std::vector<std::int16_t> ReadWavLeft(const std::string& path) {
  std::vector<std::uint8_t> b = ReadBytes(path);
  EXPECT_GE(b.size(), 44u);
  if (b.size() < 44) return {};
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(b, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(b, 20), 0x00020001u);  // PCM, stereo
  EXPECT_EQ(Le32(b, 24), 44100u);
  EXPECT_EQ(Le32(b, 28), 44100u * 4);
  EXPECT_EQ(Le32(b, 32), 0x00100004u);  // 4-byte frames of 16-bit samples
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  EXPECT_EQ(Le32(b, 40), b.size() - 44);
  std::vector<std::int16_t> left;
  for (std::size_t i = 44; i + 3 < b.size(); i += 4)
    left.push_back(static_cast<std::int16_t>(b[i] | b[i + 1] << 8));
  return left;
}

TEST(WavWriterTest, TheFileIsCompleteAfterEveryAppend) {
  TempDir dir;
  WavWriter wav(dir.file("a.wav"), 44100);
  ASSERT_TRUE(wav.ok());
  EXPECT_TRUE(ReadWavLeft(dir.file("a.wav")).empty());
  const std::int16_t frames[] = {1, -1, -32768, 32767, 258, 0};
  ASSERT_TRUE(wav.append(frames, 3));
  EXPECT_EQ(ReadWavLeft(dir.file("a.wav")), (std::vector<std::int16_t>{1, -32768, 258}));
  ASSERT_TRUE(wav.append(frames, 1));
  EXPECT_EQ(ReadWavLeft(dir.file("a.wav")).size(), 4u);
  EXPECT_EQ(wav.frames(), 4u);
  EXPECT_FALSE(WavWriter(dir.file("no/such/folder.wav"), 44100).ok());
}

class CaptureSoundTest : public OfflineMusic {
 protected:
  TempDir dir;
};

TEST_F(CaptureSoundTest, EachFrameGetsItsShareOfSamplesWithoutDrift) {
  {
    CaptureSound sound(dir.path(), 144);  // 306.25 samples a frame
    for (int i = 0; i < 144 * 3; ++i) sound.frame();
  }
  EXPECT_EQ(ReadWavLeft(dir.file("audio.wav")).size(), 3u * 44100);
}

TEST_F(CaptureSoundTest, MusicStartedAtAFrameIsHeardFromThatFramesFirstSample) {
  CaptureSound sound(dir.path(), 30);
  sound.frame();  // before the script player: silence
  StartSoundSystem();
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Offline);
  for (int i = 1; i < 10; ++i) sound.frame();
  MP3Player music(MusicPath("marker.mp3").c_str());
  music.play(0);  // at frame 10, 333 ms: the click is due at 1333 ms
  for (int i = 10; i < 75; ++i) sound.frame();
  std::vector<std::int16_t> left = ReadWavLeft(dir.file("audio.wav"));
  ASSERT_EQ(left.size(), 75u * 1470);
  std::vector<std::int16_t> stereo;
  for (std::int16_t s : left) stereo.insert(stereo.end(), {s, s});
  EXPECT_EQ(LoudestFrame(stereo), 10 * 1470 + kSecond);
}

TEST_F(CaptureSoundTest, WithoutFfmpegTheRunSaysHowToMux) {
  CaptureSound sound(dir.path(), 30);
  sound.frame();
  const char* path = std::getenv("PATH");
  std::string saved = path ? path : "";
  setenv("PATH", dir.path().c_str(), 1);
  testing::internal::CaptureStderr();
  sound.finish(1);
  std::string said = testing::internal::GetCapturedStderr();
  setenv("PATH", saved.c_str(), 1);
  EXPECT_NE(said.find("ffmpeg is not installed"), std::string::npos) << said;
  EXPECT_NE(said.find(MuxCommandLine(dir.path(), 30)), std::string::npos) << said;
  EXPECT_NE(said.find("-framerate 30 -i " + dir.path() + "/frame-%06d.png -i " + dir.path() +
                      "/audio.wav"),
            std::string::npos)
      << said;
  EXPECT_FALSE(std::filesystem::exists(dir.file("show.mp4")));
}

TEST_F(CaptureSoundTest, WithFfmpegTheFramesAndSoundBecomeAVideo) {
  if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  std::string frames = "ffmpeg -nostdin -v error -f lavfi -i color=c=red:s=64x48 -frames:v 3 '" +
                       dir.path() + "/frame-%06d.png'";
  ASSERT_EQ(std::system(frames.c_str()), 0);
  CaptureSound sound(dir.path(), 30);
  for (int i = 0; i < 3; ++i) sound.frame();
  testing::internal::CaptureStderr();
  sound.finish(3);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("into " + dir.path() + "/show.mp4"), std::string::npos) << said;
  EXPECT_GT(std::filesystem::file_size(dir.file("show.mp4")), 0u);
}

}  // namespace
