// The music items against the real sound system, mixed offline: what the
// listener hears after each command.
#include <gtest/gtest.h>

#include "media/MP3Player.h"
#include "media/MusicTestSupport.h"
#include "script/PlayItems.h"
#include "script/Scripter.h"
#include "script/SlotItems.h"
#include "support/DeviceReferences.h"

using namespace music_test;

namespace {

class MusicItems : public OfflineMusic {
 protected:
  void SetUp() override {
    OfflineMusic::SetUp();
    scripter = std::make_unique<Scripter>(device.get(), 1024, 768, [] { return 0.0f; });
  }
  void TearDown() override {
    scripter.reset();
    OfflineMusic::TearDown();
  }
  template <class T, class... A>
  void Run(A... args) {
    T item(scripter.get(), args...);
    EXPECT_TRUE(item.execute(0));
  }
  RecordedDevice device;
  std::unique_ptr<Scripter> scripter;
};

TEST_F(MusicItems, PlayMusicOfTheCurrentMusicRestartsItAtTheNewOffset) {
  Run<LoadMusic>(MusicPath("marker.mp3"), std::string("theme"));
  Run<PlayMusic>(std::string("theme"), 0);
  EXPECT_EQ(LoudestFrame(Render(kSecond * 3 / 2)), kSecond);
  Run<PlayMusic>(std::string("theme"), 2000);
  EXPECT_NEAR(LoudestFrame(Render(kSecond)), kSecond / 2, kMs);
  EXPECT_EQ(scripter->currentMusic, scripter->musics["theme"].get());
}

TEST_F(MusicItems, PlayMusicStopsTheOtherMusic) {
  Run<LoadMusic>(MusicPath("tone.mp3"), std::string("a"));
  Run<LoadMusic>(MusicPath("marker.mp3"), std::string("b"));
  Run<PlayMusic>(std::string("a"), 0);
  EXPECT_GT(Peak(Render(kSecond / 10)), 10000);
  Run<PlayMusic>(std::string("b"), 0);
  EXPECT_FALSE(scripter->musics["a"]->playing);
  EXPECT_LT(Peak(Render(kSecond / 2)), 200) << "only b's silence before its click";
}

TEST_F(MusicItems, SetVolumeWithNothingPlayingIsNotRemembered) {
  Run<LoadMusic>(MusicPath("tone.mp3"), std::string("a"));
  Run<SetVolume>(0);
  Run<PlayMusic>(std::string("a"), 0);
  EXPECT_GT(Peak(Render(kSecond / 10)), 10000);
  Run<SetVolume>(0);
  EXPECT_EQ(Peak(Render(kSecond / 10)), 0);
  Run<StopMusic>();
  EXPECT_EQ(scripter->currentMusic, nullptr);
  Run<SetVolume>(255);  // nothing current: no effect
  Run<PlayMusic>(std::string("a"), 0);
  EXPECT_GT(Peak(Render(kSecond / 10)), 10000);
}

TEST_F(MusicItems, FreeingOrReloadingThePlayingMusicSilencesIt) {
  Run<LoadMusic>(MusicPath("tone.mp3"), std::string("a"));
  Run<PlayMusic>(std::string("a"), 0);
  Run<FreeMusic>(std::string("a"));
  EXPECT_EQ(scripter->currentMusic, nullptr);
  EXPECT_TRUE(scripter->musics.empty());
  EXPECT_EQ(Peak(Render(kSecond / 10)), 0);

  Run<LoadMusic>(MusicPath("tone.mp3"), std::string("a"));
  Run<PlayMusic>(std::string("a"), 0);
  Run<LoadMusic>(MusicPath("marker.mp3"), std::string("a"));
  EXPECT_EQ(scripter->currentMusic, nullptr);
  EXPECT_FALSE(scripter->musics["a"]->playing);
  EXPECT_EQ(Peak(Render(kSecond / 10)), 0);
}

}  // namespace
