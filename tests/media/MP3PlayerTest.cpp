#include "media/MP3Player.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "archive/ArchiveTestSupport.h"
#include "archive/CFLFilterChain.h"
#include "media/MusicTestSupport.h"
#include "media/SoundFiles.h"
#include "media/SoundSystem.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"

using namespace music_test;

namespace {

class MP3PlayerTest : public OfflineMusic {
 protected:
  void SetUp() override {
    OfflineMusic::SetUp();
    StartSoundSystem();
  }
};

TEST_F(MP3PlayerTest, PlayStartsAtTheOffsetAndStopSilences) {
  MP3Player music(MusicPath("marker.mp3").c_str());
  EXPECT_EQ(music.fileName, MusicPath("marker.mp3"));
  EXPECT_FALSE(music.playing);
  music.play(500);
  EXPECT_TRUE(music.playing);
  EXPECT_NEAR(LoudestFrame(Render(kSecond)), kSecond / 2, kMs);
  music.stop();
  EXPECT_FALSE(music.playing);
  EXPECT_EQ(Peak(Render(kSecond)), 0);
  music.play(2400);  // restarts where asked
  EXPECT_NEAR(LoudestFrame(Render(kSecond)), kSecond / 10, kMs);
}

TEST_F(MP3PlayerTest, PlayWhilePlayingDoesNothing) {
  MP3Player music(MusicPath("marker.mp3").c_str());
  music.play(0);
  int channel = music.channel;
  Render(kSecond / 2);
  music.play(2000);
  EXPECT_EQ(music.channel, channel);
  // Still on its way to the click at 1 s, half a second on.
  EXPECT_NEAR(LoudestFrame(Render(kSecond)), kSecond / 2, kMs);
}

TEST_F(MP3PlayerTest, VolumeActsOnlyWhilePlayingAndIsNotRemembered) {
  MP3Player music(MusicPath("tone.mp3").c_str());
  music.setVolume(0);
  music.play(0);
  EXPECT_GT(Peak(Render(kSecond / 10)), 10000);
  music.setVolume(0);
  EXPECT_EQ(Peak(Render(kSecond / 10)), 0);
  music.stop();
  music.play(0);
  EXPECT_GT(Peak(Render(kSecond / 10)), 10000) << "a new start plays at full volume";
}

TEST_F(MP3PlayerTest, StartsAndClosesPairUp) {
  StartSoundSystem();  // a second script player
  CloseSoundSystem();
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Offline);
  CloseSoundSystem();
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::None);
  CloseSoundSystem();  // unpaired: nothing
  StartSoundSystem();  // for TearDown's close
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::Offline);
}

TEST_F(MP3PlayerTest, TheStreamLivesAsLongAsThePlayer) {
  auto music = std::make_unique<MP3Player>(MusicPath("tone.mp3").c_str());
  EXPECT_EQ(SoundFilesOpen(), 1);
  music.reset();
  EXPECT_EQ(SoundFilesOpen(), 0);
}

TEST_F(MP3PlayerTest, MusicIsReadFromDiskFirstThenFromTheArchive) {
  using namespace archive_test;
  ScratchDir dir;
  const std::string both = dir / "both.mp3";
  const std::string packed = dir / "packed.mp3";
  Bytes marker = ReadFile(MusicPath("marker.mp3"));
  WriteFile(both, ReadFile(MusicPath("tone.mp3")));
  WriteFile(dir / "show.cfl", BuildImage({{both, marker, cfl_filter::kZlib},
                                          {packed, marker, cfl_filter::kNone}}));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
  SetProgramArchive(&archive);

  MP3Player fromArchive(packed.c_str());
  fromArchive.play(0);
  EXPECT_EQ(LoudestFrame(Render(2 * kSecond)), kSecond) << "the marker, from the archive";
  fromArchive.stop();

  MP3Player fromDisk(both.c_str());
  fromDisk.play(0);
  EXPECT_GT(Peak(Render(kSecond / 2)), 10000) << "the tone on disk, not the packed marker";
}

TEST(SoundErrorTextTest, CodesMapToTheirMessages) {
  EXPECT_STREQ(SoundErrorText(0), "No errors");
  EXPECT_STREQ(SoundErrorText(9), "File not found");
  EXPECT_STREQ(SoundErrorText(10), "Unknown file format");
  EXPECT_STREQ(SoundErrorText(12), "Not enough memory ");
  EXPECT_STREQ(SoundErrorText(18), "Required Mediaplayer codec is not installed");
  EXPECT_STREQ(SoundErrorText(19), "Unknown error");
  EXPECT_STREQ(SoundErrorText(-1), "Unknown error");
}

using SoundDeathTest = OfflineMusic;

TEST_F(SoundDeathTest, AnOlderLibraryEndsTheProgramNamingTheRequiredVersion) {
  EXPECT_EXIT(
      {
        FSoundHostSetReportedVersion(3.62f);
        StartSoundSystem();
      },
      ::testing::ExitedWithCode(0),
      "Error in MP3Player!: Error : You are using the wrong DLL version!  You should be using "
      "FMOD 3.63\n");
}

TEST_F(SoundDeathTest, AFailedInitialisationShowsTheLibrarysError) {
  EXPECT_EXIT(
      {
        FSOUND_Init(44100, 32, 0);  // someone else started the library already
        StartSoundSystem();
      },
      ::testing::ExitedWithCode(0),
      "MP3Player Error: Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
}

TEST_F(SoundDeathTest, MissingAndForeignFilesEndTheProgramAtLoad) {
  EXPECT_EXIT(
      {
        StartSoundSystem();
        MP3Player music("no/such/music.mp3");
      },
      ::testing::ExitedWithCode(0), "MP3Player Error: File not found");
  archive_test::ScratchDir dir;
  archive_test::WriteFile(dir / "text.mp3", std::string(4000, 'x'));
  EXPECT_EXIT(
      {
        StartSoundSystem();
        MP3Player music((dir / "text.mp3").c_str());
      },
      ::testing::ExitedWithCode(0), "MP3Player Error: Unknown file format");
}

TEST_F(SoundDeathTest, MusicThatCannotBeOpenedKeepsTheLibrarysTextAndNamesTheFile) {
  EXPECT_EXIT(
      {
        OsSetMessageBoxHandler([](const OsMessageBoxRecord& box) {
          std::fprintf(stderr, "[%s|%s]\n", box.caption.c_str(), box.text.c_str());
          return IDOK;
        });
        StartSoundSystem();
        MP3Player music("no/such/music.mp3");
      },
      ::testing::ExitedWithCode(0),
      "MP3Player: cannot open music 'no/such/music.mp3'\n"
      "MP3Player Error: File not found\n\\[MP3Player Error\\|File not found\\]\n");
}

}  // namespace
