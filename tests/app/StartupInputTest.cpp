#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <new>
#include <stdexcept>

#include "app/Shell.h"
#include "archive/CFLArchive.h"
#include "platform/os/oshost.h"
#include "support/TempDir.h"

namespace {

std::string ArchiveMessage(const std::string& executable) {
  ::testing::internal::CaptureStderr();
  CFLArchive archive;
  OpenArchiveOf(archive, executable);
  return ::testing::internal::GetCapturedStderr();
}

TEST(StartupArchive, MissingArchiveIsSilentAndADamagedOneIsNamed) {
  TempDir dir;
  const std::string player = dir.write("demo", "not an archive");
  EXPECT_EQ(ArchiveMessage(player), "");
  dir.write("demo.cfl", "CFL3 but nothing after it");
  EXPECT_EQ(ArchiveMessage(player), "demo: archive " + dir.file("demo.cfl") +
                                        " cannot be read (it is damaged or unreadable); files "
                                        "come from the disk\n");
}

TEST(StartupArchiveDeathTest, FifoBesideThePlayerNeitherBlocksNorOpens) {
  TempDir dir;
  const std::string player = dir.write("demo", "");
  ASSERT_EQ(mkfifo(dir.file("demo.cfl").c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(5);
        CFLArchive archive;
        OpenArchiveOf(archive, player);
        _exit(archive.List().empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "demo.cfl cannot be read \\(it is not a regular file\\)");
}

TEST(ProcessGuardDeathTest, EscapingExceptionsTakeTheFatalPathWithAMessage) {
  OsSetHeadless(true);
  EXPECT_EQ(RunGuarded([] { return 7; }), 7);
  EXPECT_EXIT(RunGuarded([]() -> int { throw std::bad_alloc(); }), ::testing::ExitedWithCode(5),
              "Demo: Out of memory");
  EXPECT_EXIT(RunGuarded([]() -> int { throw std::runtime_error("odd"); }),
              ::testing::ExitedWithCode(5), "Demo: Unexpected error: odd");
  EXPECT_EXIT(RunGuarded([]() -> int { throw 3; }), ::testing::ExitedWithCode(5),
              "Demo: Unexpected error");
}

// The shell the exception leaves is shut down on the way out, before the message.
TEST(ProcessGuardDeathTest, AShellLeftByAnExceptionIsShutDownFirst) {
  OsSetHeadless(true);
  EXPECT_EXIT(RunGuarded([]() -> int {
                Shell shell;
                shell.CreateMainWindow();
                shell.InitDirect3D();
                OsSetExitHandler([window = shell.mainWindow](UINT) {
                  std::fputs(IsWindow(window) ? "[window left]\n" : "[window gone]\n", stderr);
                });
                throw std::bad_alloc();
              }),
              ::testing::ExitedWithCode(5), "Demo: Out of memory\n.*\\[window gone\\]");
}

}  // namespace
