#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Shell.h"

namespace {

CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CommandLine, NoOptionsKeepsTheDesignedBehaviour) {
  CommandLine c = Parse({});
  EXPECT_TRUE(c.error.empty());
  EXPECT_FALSE(c.options.fullscreen.has_value());  // the question is asked
  EXPECT_FALSE(c.options.headless);
  EXPECT_TRUE(c.options.captureDir.empty());
  EXPECT_EQ(c.options.fps, (FrameRate{60, 1}));
  EXPECT_FALSE(c.options.start.has_value());
  EXPECT_FALSE(c.options.size.has_value());
  EXPECT_FALSE(c.options.loop || c.options.stats || c.options.framesPng);
  EXPECT_FALSE(c.options.seconds.has_value());
}

TEST(CommandLine, OptionsAndTheirValues) {
  CommandLine c = Parse({"--headless", "--capture", "out", "--fps", "30", "--seconds", "2.5",
                         "--data", "show"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  EXPECT_TRUE(c.options.headless);
  EXPECT_EQ(c.options.fullscreen, std::optional<bool>(false));  // headless runs windowed
  EXPECT_EQ(c.options.captureDir, "out");
  EXPECT_EQ(c.options.fps, (FrameRate{30, 1}));
  EXPECT_DOUBLE_EQ(*c.options.seconds, 2.5);
  EXPECT_EQ(c.options.dataDir, "show");
  EXPECT_EQ(Parse({"--fullscreen"}).options.fullscreen, std::optional<bool>(true));
  EXPECT_EQ(Parse({"--windowed"}).options.fullscreen, std::optional<bool>(false));
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);
}

TEST(CommandLine, BadArgumentsAreErrors) {
  EXPECT_NE(Parse({"--bogus"}).error, "");
  EXPECT_NE(Parse({"play"}).error, "");
  EXPECT_NE(Parse({"--capture"}).error, "");
  EXPECT_NE(Parse({"--fps", "0"}).error, "");
  EXPECT_NE(Parse({"--fps", "29.97"}).error, "");
  EXPECT_NE(Parse({"--fps", "60000/0"}).error, "");
  EXPECT_NE(Parse({"--fps", "1/2"}).error, "");
  for (const char* bad : {"0", "-1", "x", "nan", "inf", ""})
    EXPECT_NE(Parse({"--start", bad}).error.find("--start"), std::string::npos) << bad;
  for (const char* bad : {"0x768", "1920x", "x1080", "1920*1080", "-5x5", "99999x2", "19a0x1080"})
    EXPECT_NE(Parse({"--size", bad}).error.find("--size"), std::string::npos) << bad;
  EXPECT_NE(Parse({"--frames", "jpg"}).error, "");
  EXPECT_NE(Parse({"--video", "a.mp4"}).error, "") << "needs --capture";
  EXPECT_NE(Parse({"--fps", "x"}).error, "");
  EXPECT_NE(Parse({"--seconds", "-1"}).error, "");
  EXPECT_NE(Parse({"--headless", "--fullscreen"}).error, "");
}

TEST(CommandLine, ShowMakerOptions) {
  CommandLine c = Parse({"--capture", "o", "--start", "2.5", "--loop", "--size", "1920x1080",
                         "--fps", "60000/1001", "--frames", "png", "--video", "v.mp4", "--stats"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  EXPECT_DOUBLE_EQ(*c.options.start, 2.5);
  EXPECT_TRUE(c.options.loop && c.options.stats && c.options.framesPng);
  EXPECT_EQ(*c.options.size, (BackBufferSize{1920, 1080}));
  EXPECT_EQ(c.options.fps, (FrameRate{60000, 1001}));
  EXPECT_EQ(c.options.video, "v.mp4");
}

TEST(FrameRateTest, FractionalFramesFallAtExactTimes) {
  FrameRate ntsc{60000, 1001};
  EXPECT_EQ(ntsc.frameMs(1), 16);        // 16.683
  EXPECT_EQ(ntsc.frameMs(60), 1001);     // exactly 1.001 s
  EXPECT_EQ(ntsc.frameMs(60000), 1001000);
  EXPECT_EQ(ntsc.firstFrameAt(1001), 60);
  EXPECT_EQ(ntsc.firstFrameAt(1001.5), 61);
  EXPECT_EQ((FrameRate{30, 1}).firstFrameAt(2500), 75);
  EXPECT_EQ(ntsc.text(), "60000/1001");
}

TEST(ScreenBoxTest, TheScreenKeepsItsAspectInsideOtherSizes) {
  D3DVIEWPORT9 wide = ScreenBox(1920, 1080);  // pillarbox
  EXPECT_EQ(wide.X, 240u);
  EXPECT_EQ(wide.Y, 0u);
  EXPECT_EQ(wide.Width, 1440u);
  EXPECT_EQ(wide.Height, 1080u);
  D3DVIEWPORT9 tall = ScreenBox(1024, 1024);  // letterbox
  EXPECT_EQ(tall.X, 0u);
  EXPECT_EQ(tall.Y, 128u);
  EXPECT_EQ(tall.Height, 768u);
  D3DVIEWPORT9 same = ScreenBox(1024, 768);
  EXPECT_EQ(same.X + same.Y, 0u);
  EXPECT_EQ(same.Width, 1024u);
}

TEST(ArchivePath, ThreeLetterExtensionIsReplacedOtherwiseCflIsAppended) {
  EXPECT_EQ(ArchivePathBeside("C:/shows/demo.exe"), "C:/shows/demo.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/show/demo"), "/opt/show/demo.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/show.d/player"), "/opt/show.d/player.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/demo.x86_64"), "/opt/demo.x86_64.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/demo.bin"), "/opt/demo.cfl");
}

}  // namespace
