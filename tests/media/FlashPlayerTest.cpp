#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/CFLArchive.h"
#include "archive/CFLArchiveWriter.h"
#include "media/FlashPlayer.h"
#include "platform/os/oshost.h"
#include "support/SwfBytes.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using swf_test::Bytes;
using swf_test::Frame;
using swf_test::Movie;
using ::testing::HasSubstr;

constexpr std::uint32_t kStored = 0x00000000;
constexpr std::uint32_t kZlib = 0x00000001;

Bytes MovieOf(std::uint16_t frames, char form = 'F') {
  Frame f;
  f.count = frames;
  return Movie(f, form);
}

std::u16string Utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The control behind a player.
IShockwaveFlash* Control(const FlashPlayer& player) { return player.flashWindow().flash; }

std::u16string MovieProperty(const FlashPlayer& player) {
  BSTR text = nullptr;
  EXPECT_EQ(Control(player)->get_Movie(&text), S_OK);
  std::u16string out(text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

LONG Frames(const FlashPlayer& player) {
  LONG frames = -1;
  Control(player)->get_TotalFrames(&frames);
  return frames;
}

LONG Background(const FlashPlayer& player) {
  LONG color = 99;
  Control(player)->get_BackgroundColor(&color);
  return color;
}

int Quality(const FlashPlayer& player) {
  int quality = 99;
  Control(player)->get_Quality(&quality);
  return quality;
}

// Points TMPDIR at a folder of the test's for the life of the object.
class ScopedTmpdir {
 public:
  explicit ScopedTmpdir(const fs::path& folder) {
    const char* old = std::getenv("TMPDIR");
    if (old) saved = old;
    hadOne = old != nullptr;
    setenv("TMPDIR", folder.c_str(), 1);
  }
  ~ScopedTmpdir() {
    if (hadOne)
      setenv("TMPDIR", saved.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }

 private:
  std::string saved;
  bool hadOne = false;
};

class FlashPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    saved = fs::current_path();
    fs::current_path(dir.path());
    cwd = fs::current_path().string();
    ASSERT_TRUE(AtlAxWinInit());
  }
  void TearDown() override {
    OsSetMessageBoxHandler(nullptr);
    SetProgramArchive(nullptr);
    EXPECT_TRUE(AtlAxWinTerm()) << "a host window outlived its player";
    fs::current_path(saved);
  }

  // Opens an archive of `entries` (kept outside the current folder) as the program's.
  void UseArchive(const std::vector<std::pair<std::string, Bytes>>& entries,
                  std::uint32_t filter = kStored) {
    std::stringstream image(std::ios::in | std::ios::out | std::ios::binary);
    CFLArchiveWriter writer(image);
    for (const auto& [name, bytes] : entries)
      ASSERT_TRUE(writer.Add(name, bytes.data(), static_cast<std::uint32_t>(bytes.size()), filter));
    ASSERT_TRUE(writer.Finish(std::span<const std::uint32_t>(&kZlib, 1)));
    archivePath = archiveDir.write("show.cfl", image.str());
    ASSERT_TRUE(archive.Open(archivePath.c_str()));
    SetProgramArchive(&archive);
  }

  TempDir dir;
  TempDir archiveDir;
  fs::path saved;
  std::string cwd;
  std::string archivePath;
  CFLArchive archive;
};

TEST_F(FlashPlayerTest, MovieOnDiskIsUsedInPlaceAndKept) {
  const Bytes movie = MovieOf(7);
  swf_test::WriteFile("intro.swf", movie);
  UseArchive({{"intro.swf", MovieOf(9)}});  // the disk file comes first

  FlashPlayer player(nullptr, 1024, 768, "intro.swf");
  EXPECT_EQ(MovieProperty(player), Utf16(cwd + "/intro.swf"));
  EXPECT_EQ(Frames(player), 7);
  ASSERT_TRUE(fs::exists("intro.swf"));
  EXPECT_EQ(fs::file_size("intro.swf"), movie.size());
}

TEST_F(FlashPlayerTest, MovieOnlyInTheArchiveIsWrittenOutAndGoneAfterConstruction) {
  UseArchive({{"intro.swf", MovieOf(9, 'C')}}, kZlib);
  testing::internal::CaptureStderr();
  FlashPlayer player(nullptr, 1024, 768, "intro.swf");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  // The control read the copy from the current folder, and the copy is gone.
  EXPECT_EQ(MovieProperty(player), Utf16(cwd + "/intro.swf"));
  EXPECT_EQ(Frames(player), 9);
  EXPECT_FALSE(fs::exists("intro.swf"));
  EXPECT_TRUE(fs::is_empty(cwd));
}

TEST_F(FlashPlayerTest, ControlGetsTheDesignedSettingsInAHiddenPopUpOfTheScreenSize) {
  swf_test::WriteFile("intro.swf", MovieOf(1));
  FlashPlayer player(nullptr, 800, 600, "intro.swf");
  ASSERT_NE(Control(player), nullptr);
  VARIANT_BOOL menu = VARIANT_TRUE, playing = VARIANT_TRUE;
  Control(player)->get_Menu(&menu);
  Control(player)->get_Playing(&playing);
  EXPECT_EQ(menu, VARIANT_FALSE);
  EXPECT_EQ(playing, VARIANT_FALSE);
  EXPECT_EQ(Background(player), 0);
  EXPECT_EQ(Quality(player), 0);
  RECT client{};
  ASSERT_TRUE(GetClientRect(player.flashWindow().m_hWnd, &client));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
}

TEST_F(FlashPlayerTest, SetModeBlackensTheBackgroundOnlyForMode1) {
  swf_test::WriteFile("intro.swf", MovieOf(1));
  FlashPlayer player(nullptr, 1024, 768, "intro.swf");
  ASSERT_EQ(Control(player)->put_BackgroundColor(0xFF00FF), S_OK);
  player.setMode(0);
  EXPECT_EQ(Background(player), 0xFF00FF);
  player.setMode(2);
  EXPECT_EQ(Background(player), 0xFF00FF);
  player.setMode(-1);
  EXPECT_EQ(Background(player), 0xFF00FF);
  player.setMode(1);
  EXPECT_EQ(Background(player), 0);
}

TEST_F(FlashPlayerTest, SetQualityPassesTheValueAndReportsARefusal) {
  swf_test::WriteFile("intro.swf", MovieOf(1));
  FlashPlayer player(nullptr, 1024, 768, "intro.swf");
  player.setQuality(3);
  EXPECT_EQ(Quality(player), 3);
  testing::internal::CaptureStderr();
  player.setQuality(7);
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              HasSubstr("FlashPlayer: setting Quality for 'intro.swf' failed (0x80070057)"));
  EXPECT_EQ(Quality(player), 3);
}

TEST_F(FlashPlayerTest, AFileThatIsNotAMovieIsReportedAndTheShowGoesOn) {
  dir.write("intro.swf", "<html>not a movie</html>");
  testing::internal::CaptureStderr();
  FlashPlayer player(nullptr, 1024, 768, "intro.swf");
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              HasSubstr("FlashPlayer: setting Movie for 'intro.swf' failed (0x80004005)"));
  VARIANT_BOOL playing = VARIANT_TRUE;
  Control(player)->get_Playing(&playing);  // the settings after Movie still happen
  EXPECT_EQ(playing, VARIANT_FALSE);
  EXPECT_EQ(Frames(player), 0);
  EXPECT_TRUE(fs::exists("intro.swf"));
}

TEST(FlashMoviePath, DriveLetterNamesAreUsedAsTheyAre) {
  EXPECT_EQ(FlashMoviePath("/show", "C:\\movies\\intro.swf"), "C:\\movies\\intro.swf");
  EXPECT_EQ(FlashMoviePath("/show", "d:intro.swf"), "d:intro.swf");
  EXPECT_EQ(FlashMoviePath("/show", "intro.swf"), "/show/intro.swf");
  EXPECT_EQ(FlashMoviePath("/", "intro.swf"), "/intro.swf");
  EXPECT_EQ(FlashMoviePath("C:\\show\\", "intro.swf"), "C:\\show\\intro.swf");
  EXPECT_EQ(FlashMoviePath("/show", "a"), "/show/a");  // one character: no second one
  EXPECT_EQ(FlashMoviePath("", "intro.swf"), "intro.swf");
}

TEST_F(FlashPlayerTest, DriveLetterNameReachesTheControlUnchanged) {
  swf_test::WriteFile("C:intro.swf", MovieOf(5));  // a plain relative name here
  FlashPlayer player(nullptr, 1024, 768, "C:intro.swf");
  EXPECT_EQ(MovieProperty(player), u"C:intro.swf");
  EXPECT_EQ(Frames(player), 5);
}

TEST(FlashMoviePath, AbsolutePathsAreUsedAsTheyAre) {
  EXPECT_EQ(FlashMoviePath("/show", "/movies/intro.swf"), "/movies/intro.swf");
  EXPECT_EQ(FlashMoviePath("/show/", "/intro.swf"), "/intro.swf");
  EXPECT_EQ(FlashMoviePath("/show", "movies/intro.swf"), "/show/movies/intro.swf");
}

TEST_F(FlashPlayerTest, MovieNamedByAnAbsolutePathIsFoundThere) {
  TempDir elsewhere;
  const std::string path = elsewhere.file("intro.swf");
  swf_test::WriteFile(path, MovieOf(3));
  FlashPlayer player(nullptr, 1024, 768, path.c_str());
  EXPECT_EQ(MovieProperty(player), Utf16(path));
  EXPECT_EQ(Frames(player), 3);
  EXPECT_TRUE(fs::exists(path));
}

TEST_F(FlashPlayerTest, CurrentFolderLongerThan256CharactersIsNotCut) {
  fs::path deep = cwd;
  for (int i = 0; i < 8; ++i) deep /= std::string(40, char('a' + i));
  fs::create_directories(deep);
  fs::current_path(deep);
  const std::string full = fs::current_path().string() + "/intro.swf";
  ASSERT_GT(full.size(), 300u);
  UseArchive({{"intro.swf", MovieOf(11)}});
  FlashPlayer player(nullptr, 1024, 768, "intro.swf");
  EXPECT_EQ(MovieProperty(player), Utf16(full));
  EXPECT_EQ(Frames(player), 11);
  EXPECT_FALSE(fs::exists(full));
}

TEST_F(FlashPlayerTest, DeletingThePlayerDestroysItsWindow) {
  swf_test::WriteFile("intro.swf", MovieOf(1));
  auto player = std::make_unique<FlashPlayer>(nullptr, 1024, 768, "intro.swf");
  HWND window = player->flashWindow().m_hWnd;
  ASSERT_TRUE(IsWindow(window));
  player.reset();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(FlashPlayerTest, WithoutTheHostingLibraryTheShowGoesOn) {
  ASSERT_TRUE(AtlAxWinTerm());
  UseArchive({{"intro.swf", MovieOf(1)}});
  testing::internal::CaptureStderr();
  {
    FlashPlayer player(nullptr, 1024, 768, "intro.swf");
    player.setQuality(1);
    player.setMode(1);
  }
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              HasSubstr("FlashPlayer: no movie control for 'intro.swf'"));
  EXPECT_FALSE(fs::exists("intro.swf"));
  ASSERT_TRUE(AtlAxWinInit());
}

// A copy that cannot go beside the show (a read-only folder, or here a folder
// that is not there) goes to a private temporary folder, gone with the load.
TEST_F(FlashPlayerTest, CopyThatCannotBeWrittenBesideTheShowGoesToAPrivateTemporaryFolder) {
  TempDir temporary;
  ScopedTmpdir tmpdir(temporary.path());
  UseArchive({{"sub/intro.swf", MovieOf(4)}});  // no folder "sub" here
  FlashPlayer player(nullptr, 1024, 768, "sub/intro.swf");
  const std::u16string movie = MovieProperty(player);
  const std::u16string prefix = Utf16(temporary.path() + "/show-player-");
  EXPECT_EQ(movie.substr(0, prefix.size()), prefix);
  EXPECT_EQ(movie.substr(movie.size() - 10), u"/intro.swf");
  EXPECT_EQ(Frames(player), 4);
  EXPECT_TRUE(fs::is_empty(temporary.path())) << "the copy and its folder are removed";
  EXPECT_TRUE(fs::is_empty(cwd));
}

TEST_F(FlashPlayerTest, AFileTheUserHasIsNeverOverwrittenOrDeleted) {
  // A name that exists but cannot be opened for reading: a link to a file the
  // user has not made yet. Writing through it would create their file.
  TempDir temporary;
  ScopedTmpdir tmpdir(temporary.path());
  ASSERT_EQ(symlink("theirs.swf", "intro.swf"), 0);
  UseArchive({{"intro.swf", MovieOf(3)}});
  {
    FlashPlayer player(nullptr, 1024, 768, "intro.swf");
    EXPECT_EQ(Frames(player), 3);
  }
  EXPECT_TRUE(fs::is_symlink("intro.swf"));
  EXPECT_FALSE(fs::exists("theirs.swf"));
  EXPECT_TRUE(fs::is_empty(temporary.path()));
}

using FlashPlayerDeathTest = FlashPlayerTest;

// Before the process ends, the message box handler says what the folder holds.
void ReportFolderAtTheMessageBox(std::string name) {
  OsSetMessageBoxHandler([name](const OsMessageBoxRecord& box) {
    std::error_code e;
    const bool link = fs::is_symlink(name, e);
    const bool there = fs::exists(fs::symlink_status(name, e));
    const bool target = link && fs::exists(name, e);
    std::fprintf(stderr, "[%s|%s] %s%s\n", box.caption.c_str(), box.text.c_str(),
                 link ? "link kept" : there ? "file left" : "nothing left",
                 !link ? "" : target ? ", target written" : ", target absent");
    return IDOK;
  });
}

TEST_F(FlashPlayerDeathTest, MovieNowhereIsFatal) {
  EXPECT_EXIT(FlashPlayer(nullptr, 1024, 768, "missing.swf"), ::testing::ExitedWithCode(0),
              "Error: Couldn't load 2d content!");
  UseArchive({{"other.swf", MovieOf(1)}});
  EXPECT_EXIT(FlashPlayer(nullptr, 1024, 768, "missing.swf"), ::testing::ExitedWithCode(0),
              "Error: Couldn't load 2d content!");
}

TEST_F(FlashPlayerDeathTest, MovieNowhereKeepsTheDesignedTextAndNamesTheMovieOnStandardError) {
  EXPECT_EXIT(
      {
        ReportFolderAtTheMessageBox("missing.swf");
        FlashPlayer(nullptr, 1024, 768, "missing.swf");
      },
      ::testing::ExitedWithCode(0),
      "FlashPlayer: movie 'missing.swf' is neither a readable file nor in the archive\n"
      "Error: Couldn't load 2d content!\n\\[Error\\|Couldn't load 2d content!\\] nothing left");
}

TEST_F(FlashPlayerDeathTest, DamagedArchiveEntryIsFatalAndLeavesNoFile) {
  UseArchive({{"intro.swf", MovieOf(1)}}, kZlib);
  // Make the entry's deflate data an invalid block type: the entry exists but
  // cannot be read.
  {
    std::FILE* f = std::fopen(archivePath.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 12 + 4 + 4 + 2, SEEK_SET);
    std::fputc(0x07, f);
    std::fclose(f);
  }
  ASSERT_TRUE(archive.Exists("intro.swf"));
  ASSERT_EQ(archive.ReadWhole("intro.swf"), nullptr);
  EXPECT_EXIT(
      {
        ReportFolderAtTheMessageBox("intro.swf");
        FlashPlayer(nullptr, 1024, 768, "intro.swf");
      },
      ::testing::ExitedWithCode(0), "\\[Error\\|Couldn't load 2d content!\\] nothing left");
}

}  // namespace
