// The progress line: rewritten in place on a terminal (here a pseudo-terminal),
// with every other write to standard error starting on a line of its own; whole
// lines where standard error is a file or a pipe.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/os/oshost.h"

namespace {

TEST(ProgressLine, ElsewhereEveryCallIsAWholeLine) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(OsStandardErrorIsTerminal());
  OsShowProgress("demo: frame 1");
  std::fputs("Error: Image load failed: x.png\n", stderr);
  OsShowProgress("demo: frame 2");
  OsEndProgress();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "demo: frame 1\nError: Image load failed: x.png\ndemo: frame 2\n");
}

// What a terminal on standard error receives from `write`, written raw.
std::string OnTerminal(void (*write)()) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "no terminal";
  const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  termios raw{};
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);  // no "\n" to "\r\n"
  tcsetattr(slave, TCSANOW, &raw);
  const int kept = dup(STDERR_FILENO);
  dup2(slave, STDERR_FILENO);
  write();
  dup2(kept, STDERR_FILENO);
  close(kept);
  close(slave);
  fcntl(master, F_SETFL, O_NONBLOCK);
  std::string got;
  char buffer[256];
  ssize_t n = 0;
  while ((n = read(master, buffer, sizeof buffer)) > 0) got.append(buffer, static_cast<std::size_t>(n));
  close(master);
  return got;
}

TEST(ProgressLineDeathTest, OnATerminalMessagesStartOnALineOfTheirOwn) {
  // A child of its own: standard error is replaced while the line shows.
  EXPECT_EXIT(
      {
        const std::string got = OnTerminal([] {
          if (!OsStandardErrorIsTerminal()) return;
          OsShowProgress("demo: frame 1");
          std::fputs("Error: Image load failed: x.png\n", stderr);
          OsShowProgress("demo: frame 22");
          OsShowProgress("demo: f 3");
          OsEndProgress();
          std::fputs("after\n", stderr);
        });
        const std::string want =
            "\rdemo: frame 1\nError: Image load failed: x.png\n\rdemo: frame 22\rdemo: f 3     "
            "\nafter\n";
        if (got != want) {
          for (char c : got) std::fputs(c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c).c_str(), stderr);
          std::_Exit(1);
        }
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
