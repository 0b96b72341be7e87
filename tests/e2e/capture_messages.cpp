// What a capture run says on standard error: a data error on a line of its own,
// never glued to the progress line, whether standard error is a terminal (the
// progress line rewritten in place) or a log (whole progress lines).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

// A show that runs a while and then fails to load a picture.
void WriteFailingShow(const TempDir& show) {
  show.write("demo.psc",
             "createcolor 0 0 80 blue\nsetlayer blue 0\nwaituntil 3000\n"
             "loadimage missing.png gone\nwaituntil 4000\n");
}

TEST(CaptureMessages, InALogProgressComesAsWholeLinesAndTheErrorHasItsOwn) {
  TempDir t;
  WriteFailingShow(t);
  ProcessResult r =
      RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", t.file("out"), "--frames", "png",
                                 "--fps", "10", "--data", t.path()});
  EXPECT_EQ(r.exitCode, 0) << r.output;  // a loader's error ends the show with status 0
  EXPECT_EQ(r.output.find('\r'), std::string::npos) << r.output;
  EXPECT_EQ(r.output.rfind("demo: frame ", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("\nError: Image load failed: missing.png\n"), std::string::npos)
      << r.output;
}

TEST(CaptureMessages, OnATerminalTheErrorStartsOnALineOfItsOwn) {
  const std::string script = "/usr/bin/script";
  if (!std::filesystem::exists(script)) GTEST_SKIP() << "no script(1)";
  TempDir t;
  WriteFailingShow(t);
  const std::string command = std::string(SHOW_DEMO_EXE) + " --headless --capture '" +
                              t.file("out") + "' --frames png --fps 10 --data '" + t.path() + "'";
  // script(1) gives the player a terminal and copies what it shows.
  ProcessResult r = RunProcess(script, {"-qec", command, t.file("typescript")});
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("\rdemo: frame "), std::string::npos) << "rewritten in place:\n"
                                                                 << r.output;
  EXPECT_NE(r.output.find("\nError: Image load failed: missing.png"), std::string::npos)
      << r.output;
}

}  // namespace
