// Start-up, shutdown, settings and the three outputs of the sound system.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "fsound/TestFiles.h"
#include "platform/fsound/fmod.h"
#include "platform/fsound/fsoundhost.h"

namespace {

// Sets SDL's audio driver for one scope.
class AudioDriver {
 public:
  explicit AudioDriver(const char* name) {
    const char* before = std::getenv("SDL_AUDIODRIVER");
    had_ = before != nullptr;
    if (had_) saved_ = before;
    setenv("SDL_AUDIODRIVER", name, 1);
  }
  ~AudioDriver() {
    if (had_)
      setenv("SDL_AUDIODRIVER", saved_.c_str(), 1);
    else
      unsetenv("SDL_AUDIODRIVER");
  }

 private:
  bool had_;
  std::string saved_;
};

class SoundSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    TestFiles::get().reset();
    TestFiles::get().add("tone.mp3", ReadMusic("tone.mp3"));
  }
  void TearDown() override {
    FSOUND_Close();
    FSOUND_File_SetCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    FSoundHostSetOutput(FSoundHostOutput::Requested);
    FSoundHostSetReportedVersion(0);
  }
  // The mixing thread reads the file as it plays: wait (bounded) for more reads.
  static bool PlaybackAdvances() {
    TestFiles& files = TestFiles::get();
    files.install();
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("tone.mp3", FSOUND_NORMAL, 0);
    if (!stream) return false;
    int readsAtOpen = files.reads;
    int channel = FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 0);
    if (channel < 0) return false;
    for (int i = 0; i < 500; ++i) {
      if (files.reads > readsAtOpen + 2) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
};

TEST_F(SoundSystem, ReportsItsVersionAndTheTestSeamCanLower) {
  EXPECT_GE(FSOUND_GetVersion(), 3.63f);
  FSoundHostSetReportedVersion(3.62f);
  EXPECT_FLOAT_EQ(FSOUND_GetVersion(), 3.62f);
}

TEST_F(SoundSystem, SettingsAreCheckedAndLockedOnceRunning) {
  EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_A3D));
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
  EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
  EXPECT_FALSE(FSOUND_Init(48000, 32, 0)) << "one mixing rate";
  EXPECT_EQ(FSOUND_Stream_OpenFile("tone.mp3", FSOUND_NORMAL, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);

  FSoundHostSetOutput(FSoundHostOutput::Offline);
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
  EXPECT_FALSE(FSOUND_SetBufferSize(150));
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
  EXPECT_TRUE(FSOUND_Stream_SetBufferSize(2000)) << "streams may be sized at any time";

  TestFiles::get().install();
  EXPECT_EQ(FSOUND_Stream_OpenFile("tone.mp3", FSOUND_LOOP_NORMAL, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
  EXPECT_EQ(TestFiles::get().opens, 0) << "refused before any file is touched";

  FSOUND_Close();
  FSOUND_Close();
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::None);
  EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND)) << "settable again after close";
}

TEST_F(SoundSystem, DeviceOutputPlaysOnTheSoundDevicesThread) {
  // With the dummy driver SDL still runs its audio thread in real time.
  AudioDriver dummy("dummy");
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
  ASSERT_TRUE(FSOUND_SetBufferSize(150));
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Device);
  EXPECT_TRUE(PlaybackAdvances());
  std::int16_t mix[4];
  EXPECT_FALSE(FSoundHostRender(mix, 2)) << "only the offline output is mixed by the host";
}

TEST_F(SoundSystem, WithoutADeviceTheMusicAdvancesSilently) {
  AudioDriver none("no-such-driver");
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Silent);
  EXPECT_TRUE(PlaybackAdvances());
}

TEST_F(SoundSystem, NoSoundOutputIsSilentButRuns) {
  ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Silent);
  EXPECT_TRUE(PlaybackAdvances());
  FSOUND_Close();
  EXPECT_EQ(TestFiles::get().openCount(), 0);
}

}  // namespace
