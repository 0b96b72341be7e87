// Streams, channels and the mix, driven through the offline output so no time
// has to pass: every frame of the mix is rendered by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fsound/TestFiles.h"
#include "platform/fsound/fmod.h"
#include "platform/fsound/fsoundhost.h"
#include "support/TempDir.h"

using namespace sound_test;

namespace {

constexpr unsigned int kMode = FSOUND_NORMAL | FSOUND_MPEGACCURATE;

class Stream : public ::testing::Test {
 protected:
  void SetUp() override {
    TestFiles& files = TestFiles::get();
    files.reset();
    files.add("marker.mp3", ReadMusic("marker.mp3"));
    files.add("marker22k.mp3", ReadMusic("marker22k.mp3"));
    files.add("tone.mp3", ReadMusic("tone.mp3"));
    FSoundHostSetOutput(FSoundHostOutput::Offline);
    files.install();
    ASSERT_TRUE(FSOUND_Init(44100, channels, 0));
    ASSERT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Offline);
  }
  void TearDown() override {
    FSOUND_Close();
    FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    FSoundHostSetOutput(FSoundHostOutput::Requested);
  }
  static std::vector<std::int16_t> Render(long frames) {
    std::vector<std::int16_t> mix(static_cast<std::size_t>(frames) * 2);
    EXPECT_TRUE(FSoundHostRender(mix.data(), static_cast<std::size_t>(frames)));
    return mix;
  }
  static int Play(FSOUND_STREAM* stream) {
    int channel = FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 1);
    EXPECT_GE(channel, 0);
    EXPECT_TRUE(FSOUND_SetPaused(channel, 0));
    return channel;
  }

  int channels = 32;
};

TEST_F(Stream, PlaysTheMusicFromItsFirstSampleWithTheEncoderDelayRemoved) {
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("marker.mp3", kMode, 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
  Play(stream);
  std::vector<std::int16_t> mix = Render(2 * kSecond);
  // The clicks were written at samples 44100 and 110250 of the source.
  EXPECT_EQ(LoudestFrame(mix), kSecond);
  EXPECT_GT(Peak(mix, kSecond - 5, kSecond + 5), 15000);
  EXPECT_LT(Peak(mix, 0, kSecond - 600), 200);  // silence before it
  mix = Render(kSecond);
  EXPECT_EQ(LoudestFrame(mix) + 2 * kSecond, 110250);
}

TEST_F(Stream, SetTimeLandsWithinOneMillisecondOfTheAskedPosition) {
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("marker.mp3", kMode, 0);
  ASSERT_NE(stream, nullptr);
  for (int ms : {990, 2400, 333, 0, 2499}) {
    SCOPED_TRACE(ms);
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, ms));
    int channel = Play(stream);
    std::vector<std::int16_t> mix = Render(kSecond);
    long click = ms <= 1000 ? 1000 : 2500;
    long expected = (click - ms) * kSecond / 1000;
    EXPECT_NEAR(LoudestFrame(mix), expected, kMs);
    FSOUND_StopSound(channel);
  }
  // Outside the music: clamped to its ends.
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, -500));
  int channel = Play(stream);
  EXPECT_EQ(LoudestFrame(Render(2 * kSecond)), kSecond);
  FSOUND_StopSound(channel);
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 99999));
  Play(stream);
  EXPECT_EQ(Peak(Render(kSecond), 0, kSecond), 0);
}

TEST_F(Stream, OtherRatesAreConvertedToTheMixingRateInTime) {
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("marker22k.mp3", kMode, 0);
  ASSERT_NE(stream, nullptr);
  Play(stream);
  std::vector<std::int16_t> mix = Render(2 * kSecond);
  EXPECT_NEAR(LoudestFrame(mix), kSecond, 2);
  EXPECT_LT(Peak(mix, kSecond + 600, 2 * kSecond), 200) << "silence after the click";
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 2000));
  mix = Render(kSecond);
  EXPECT_NEAR(LoudestFrame(mix), kSecond / 2, kMs);
}

TEST_F(Stream, APausedChannelHoldsItsPlace) {
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("marker.mp3", kMode, 0);
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 900));
  int channel = FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 1);
  ASSERT_GE(channel, 0);
  std::vector<std::int16_t> mix = Render(kSecond);
  EXPECT_EQ(Peak(mix, 0, kSecond), 0);
  ASSERT_TRUE(FSOUND_SetPaused(channel, 0));
  mix = Render(kSecond / 2);
  ASSERT_TRUE(FSOUND_SetPaused(channel, 1));
  Render(kSecond);
  ASSERT_TRUE(FSOUND_SetPaused(channel, 0));
  std::vector<std::int16_t> rest = Render(kSecond / 2);
  mix.insert(mix.end(), rest.begin(), rest.end());
  EXPECT_NEAR(LoudestFrame(mix), kSecond / 10, 1);
}

TEST_F(Stream, VolumeScalesTheChannelAndChannelsAddUp) {
  FSOUND_STREAM* a = FSOUND_Stream_OpenFile("tone.mp3", kMode, 0);
  FSOUND_STREAM* b = FSOUND_Stream_OpenFile("tone.mp3", kMode, 0);
  ASSERT_TRUE(a && b);
  int ca = Play(a);
  std::vector<std::int16_t> full = Render(kSecond / 10);
  int peak = Peak(full, 0, kSecond / 10);
  ASSERT_GT(peak, 10000);
  FSOUND_Stream_SetTime(a, 0);
  ASSERT_TRUE(FSOUND_SetVolume(ca, 51));
  std::vector<std::int16_t> fifth = Render(kSecond / 10);
  for (std::size_t i = 0; i < full.size(); ++i) ASSERT_EQ(fifth[i], full[i] * 51 / 255) << i;

  FSOUND_SetVolume(ca, 300);  // beyond the scale: full volume
  FSOUND_Stream_SetTime(a, 0);
  FSOUND_Stream_SetTime(b, 0);
  Play(b);
  std::vector<std::int16_t> both = Render(kSecond / 10);
  for (std::size_t i = 0; i < full.size(); ++i)
    ASSERT_EQ(both[i], std::clamp(2 * full[i], -32768, 32767)) << i;
}

TEST_F(Stream, AStreamPlaysOnOneChannelAndEndsByItself) {
  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("tone.mp3", kMode, 0);
  int first = Play(stream);
  int second = Play(stream);  // moves it: heard once, not twice
  EXPECT_NE(first, second);
  EXPECT_LT(Peak(Render(kSecond / 10)), 17000);
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 2990));
  EXPECT_EQ(Peak(Render(kSecond), kSecond / 50), 0);
  // Ended: the handle stays valid until its channel is reused.
  EXPECT_TRUE(FSOUND_StopSound(second));
}

TEST_F(Stream, AHandleDiesWhenItsChannelIsReused) {
  FSOUND_STREAM* a = FSOUND_Stream_OpenFile("tone.mp3", kMode, 0);
  FSOUND_STREAM* b = FSOUND_Stream_OpenFile("tone.mp3", kMode, 0);
  int old = Play(a);
  ASSERT_TRUE(FSOUND_StopSound(old));
  int now = Play(b);
  ASSERT_NE(now, old);
  EXPECT_FALSE(FSOUND_SetVolume(old, 0));
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
  EXPECT_FALSE(FSOUND_StopSound(old));
  EXPECT_GT(Peak(Render(kSecond / 10), 0, kSecond / 10), 10000) << "b still plays, loud";
  EXPECT_FALSE(FSOUND_SetPaused(12345, 1));
}

class FewChannels : public Stream {
 protected:
  FewChannels() { channels = 2; }
};

TEST_F(FewChannels, NoFreeChannelIsAnError) {
  FSOUND_STREAM* s[3];
  for (auto& stream : s) stream = FSOUND_Stream_OpenFile("tone.mp3", kMode, 0);
  EXPECT_GE(FSOUND_Stream_PlayEx(FSOUND_FREE, s[0], nullptr, 0), 0);
  EXPECT_GE(FSOUND_Stream_PlayEx(FSOUND_FREE, s[1], nullptr, 0), 0);
  EXPECT_EQ(FSOUND_Stream_PlayEx(FSOUND_FREE, s[2], nullptr, 0), -1);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
  // Naming a channel takes it over.
  EXPECT_GE(FSOUND_Stream_PlayEx(1, s[2], nullptr, 0), 0);
  EXPECT_EQ(FSOUND_Stream_PlayEx(2, s[2], nullptr, 0), -1);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(Stream, FilesAreReadOnlyThroughTheCallbacks) {
  TempDir dir;
  std::string onDisk = dir.write("disk.mp3", ReadMusic("marker.mp3"));
  TestFiles& files = TestFiles::get();
  EXPECT_EQ(FSOUND_Stream_OpenFile(onDisk.c_str(), kMode, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
  EXPECT_EQ(files.opens, 1);

  FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("marker.mp3", kMode, 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(files.openCount(), 1);
  int readsAtOpen = files.reads;
  EXPECT_GT(readsAtOpen, 0);
  Play(stream);
  Render(kSecond);
  EXPECT_GT(files.reads, readsAtOpen);
  ASSERT_TRUE(FSOUND_Stream_Close(stream));
  EXPECT_EQ(files.openCount(), 0);
  EXPECT_FALSE(FSOUND_Stream_Close(stream)) << "a closed stream is refused, not touched";

  // Without callbacks the library reads the disk itself.
  FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
  FSOUND_STREAM* disk = FSOUND_Stream_OpenFile(onDisk.c_str(), kMode, 0);
  EXPECT_NE(disk, nullptr);
  EXPECT_EQ(files.opens, 2);
  EXPECT_FALSE(FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr,
                                        [](unsigned int) { return 0; }));
}

TEST_F(Stream, CloseEndsEveryStreamAndItsFile) {
  FSOUND_Stream_OpenFile("marker.mp3", kMode, 0);
  Play(FSOUND_Stream_OpenFile("tone.mp3", kMode, 0));
  EXPECT_EQ(TestFiles::get().openCount(), 2);
  FSOUND_Close();
  EXPECT_EQ(TestFiles::get().openCount(), 0);
  std::vector<std::int16_t> mix(20, 7);
  EXPECT_FALSE(FSoundHostRender(mix.data(), 10));
  EXPECT_EQ(mix, std::vector<std::int16_t>(20, 0));
  EXPECT_EQ(FSOUND_Stream_OpenFile("tone.mp3", kMode, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
}

TEST_F(Stream, FilesThatHoldNoMp3AreAnUnknownFormat) {
  TestFiles& files = TestFiles::get();
  std::string mp3 = ReadMusic("tone.mp3");
  std::string wav = "RIFF\x24\x10\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data";
  wav.append(4096, '\x11');
  std::string noise;
  unsigned seed = 12345;
  for (int i = 0; i < 60000; ++i) noise += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
  files.add("text.mp3", std::string(2000, 'a') + "\nnot music\n");
  files.add("wave.mp3", wav);
  files.add("noise.mp3", noise);
  files.add("empty.mp3", "");
  files.add("header-only.mp3", mp3.substr(0, 300));
  for (const char* name : {"text.mp3", "wave.mp3", "noise.mp3", "empty.mp3", "header-only.mp3"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FSOUND_Stream_OpenFile(name, kMode, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
  }
  EXPECT_EQ(files.openCount(), 0) << "failed opens close their files";
}

TEST_F(Stream, DamagedMusicPlaysUpToTheDamageThenFallsSilent) {
  std::string mp3 = ReadMusic("tone.mp3");
  std::size_t middle = mp3.size() / 2;
  std::string zeros = mp3, noise = mp3, cut = mp3.substr(0, middle);
  zeros.replace(middle, 3000, std::string(3000, '\0'));
  for (std::size_t i = middle; i < middle + 3000; ++i) noise[i] = static_cast<char>(i * 7919 >> 3);
  TestFiles::get().add("zeros.mp3", zeros);
  TestFiles::get().add("noise.mp3", noise);
  TestFiles::get().add("cut.mp3", cut);
  for (const char* name : {"zeros.mp3", "noise.mp3", "cut.mp3"}) {
    SCOPED_TRACE(name);
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile(name, kMode, 0);
    ASSERT_NE(stream, nullptr);
    Play(stream);
    std::vector<std::int16_t> mix = Render(4 * kSecond);
    // The tone is steady for about half of its three seconds, then nothing.
    EXPECT_GT(Peak(mix, kSecond, kSecond + kSecond / 4), 10000);
    EXPECT_EQ(Peak(mix, 2 * kSecond, 4 * kSecond), 0);
    // Seeking past the damage is silent too, and seeking before it plays again.
    FSOUND_Stream_SetTime(stream, 2500);
    Play(stream);
    EXPECT_EQ(Peak(Render(kSecond), 0, kSecond), 0);
    FSOUND_Stream_SetTime(stream, 500);
    Play(stream);
    EXPECT_GT(Peak(Render(kSecond / 10), 0, kSecond / 10), 10000);
    FSOUND_Stream_Close(stream);
  }
}

}  // namespace
