#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Program.h"

namespace {

CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CommandLine, NoOptionsKeepsTheDesignedBehaviour) {
  CommandLine c = Parse({});
  EXPECT_TRUE(c.error.empty());
  EXPECT_FALSE(c.options.fullscreen.has_value());  // the question is asked
  EXPECT_FALSE(c.options.headless);
  EXPECT_TRUE(c.options.captureDir.empty());
  EXPECT_EQ(c.options.fps, 60);
  EXPECT_FALSE(c.options.seconds.has_value());
}

TEST(CommandLine, OptionsAndTheirValues) {
  CommandLine c = Parse({"--headless", "--capture", "out", "--fps", "30", "--seconds", "2.5",
                         "--data", "show"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  EXPECT_TRUE(c.options.headless);
  EXPECT_EQ(c.options.fullscreen, std::optional<bool>(false));  // headless runs windowed
  EXPECT_EQ(c.options.captureDir, "out");
  EXPECT_EQ(c.options.fps, 30);
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
  EXPECT_NE(Parse({"--fps", "x"}).error, "");
  EXPECT_NE(Parse({"--seconds", "-1"}).error, "");
  EXPECT_NE(Parse({"--headless", "--fullscreen"}).error, "");
}

TEST(ArchivePath, ThreeLetterExtensionIsReplacedOtherwiseCflIsAppended) {
  EXPECT_EQ(ArchivePathBeside("C:/shows/demo.exe"), "C:/shows/demo.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/show/demo"), "/opt/show/demo.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/show.d/player"), "/opt/show.d/player.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/demo.x86_64"), "/opt/demo.x86_64.cfl");
  EXPECT_EQ(ArchivePathBeside("/opt/demo.bin"), "/opt/demo.cfl");
}

}  // namespace
