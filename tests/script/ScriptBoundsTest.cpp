// Scripts from a hostile or careless author: numbers that do not fit, files that
// never end, includes that fan out, text too large, damaged archive entries.
// Each ends in the "Error loading script" box or, where the design keeps a
// missing script silent, in a line on standard error; never in a hang or a crash.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/CFLArchive.h"
#include "platform/os/oshost.h"
#include "script/ScriptLoader.h"
#include "script/ScriptSource.h"
#include "script/Scripter.h"
#include "support/DeviceReferences.h"
#include "script/TimingItems.h"
#include "support/TempDir.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SHOW_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SHOW_TEST_ASAN 1
#endif

namespace {

using Texts = std::map<std::string, std::string>;

ScriptSource FromMemory(const Texts& texts) {
  return [&texts](const std::string& name, std::size_t maxBytes) {
    const auto it = texts.find(name);
    if (it == texts.end()) return ScriptFile{};
    return ScriptFileFromText(it->second, maxBytes);
  };
}

class ScriptBounds : public ::testing::Test {
 protected:
  void SetUp() override { OsSetHeadless(true); }

  void LoadFile(const std::string& text) {
    RecordedDevice device;
    Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
    s.loadScript(dir.write("main.psc", text).c_str(), 0);
  }

  TempDir dir;
};
using ScriptBoundsDeathTest = ScriptBounds;

TEST_F(ScriptBoundsDeathTest, NumbersThatDoNotFitTheirFieldNameTheLine) {
  EXPECT_EXIT(LoadFile("settime 0\n\nwaituntil 3000000000\n"), ::testing::ExitedWithCode(0),
              "Error loading script: Invalid number '3000000000' at line 3 of script "
              "/.*/main.psc!");
  EXPECT_EXIT(LoadFile("setlayer a -2147483649\n"), ::testing::ExitedWithCode(0),
              "Invalid number '-2147483649' at line 1 of script");
  EXPECT_EXIT(LoadFile("setlayeralpha 1 nan\n"), ::testing::ExitedWithCode(0),
              "Invalid number 'nan' at line 1 of script");
  EXPECT_EXIT(LoadFile("setlayerpos 1 1e39 0\n"), ::testing::ExitedWithCode(0),
              "Invalid number '1e39' at line 1 of script");
}

TEST_F(ScriptBoundsDeathTest, IncludeOffsetThatIsNotFiniteNamesFileAndLine) {
  const std::string inner = dir.write("inner.psc", "waituntil 1000\n");
  EXPECT_EXIT(LoadFile("waituntil 1\ninclude " + inner + " nan\n"), ::testing::ExitedWithCode(0),
              "Error loading script: Invalid number 'nan' at line 2 of script /.*/main.psc!");
  EXPECT_EXIT(LoadFile("include " + inner + " -inf\n"), ::testing::ExitedWithCode(0),
              "Invalid number '-inf' at line 1 of script");
}

TEST_F(ScriptBounds, NumbersAtTheEdgesOfTheirFieldsAreAccepted) {
  RecordedDevice device;
  Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
  s.loadScript(dir.write("edge.psc", "waituntil 2147483647\nsettime -2147483648\n").c_str(), 0);
  ASSERT_EQ(s.items.size(), 2u);
  EXPECT_FLOAT_EQ(dynamic_cast<Wait&>(*s.items[0]).time, 2147483647.0f);
  EXPECT_FLOAT_EQ(dynamic_cast<SetTime&>(*s.items[1]).time, -2147483648.0f);
}

TEST_F(ScriptBoundsDeathTest, ControlBytesAndByteOrderMarksAreEscapedInMessages) {
  EXPECT_EXIT(LoadFile("fly\x1b[31mto 3\n"), ::testing::ExitedWithCode(0),
              "Invalid command 'fly\\\\x1B\\[31mto' in script");
  EXPECT_EXIT(LoadFile("settime 1\n\xEF\xBB\xBFwaituntil 2\n"), ::testing::ExitedWithCode(0),
              "Invalid command '\\\\xEF\\\\xBB\\\\xBFwaituntil' in script");
}

TEST_F(ScriptBoundsDeathTest, IncludedFilesThatNeverEndAreRefusedWithoutBlocking) {
  const std::string fifo = dir.file("pipe.psc");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string main = dir.write(
      "main.psc", "include /dev/zero 0\ninclude " + fifo + " 0\nwaituntil 5\n");
  EXPECT_EXIT(
      {
        alarm(10);  // a blocked open or an endless read ends the child by the signal
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        s.loadScript(main.c_str(), 0);
        _exit(s.items.size() == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0),
      "script /dev/zero cannot be read \\(it is not a regular file\\).*\n"
      ".*script /.*/pipe.psc cannot be read \\(it is not a regular file\\)");
}

TEST_F(ScriptBounds, MissingScriptsAreNamedOnStandardError) {
  ::testing::internal::CaptureStderr();
  RecordedDevice device;
  Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
  s.scriptClockOffset = 7;
  s.loadScript(dir.file("absent.psc").c_str(), 0);
  s.loadScript(dir.write("main.psc", "include nowhere.psc 0\nwaituntil 1\n").c_str(), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("script " + dir.file("absent.psc") + " not found"), std::string::npos)
      << said;
  EXPECT_NE(said.find("script nowhere.psc not found"), std::string::npos) << said;
  EXPECT_EQ(s.items.size(), 1u);
}

TEST_F(ScriptBoundsDeathTest, IncludeFanOutIsBoundedInItemsAndBytes) {
  // 25 scripts, each including the next twice: 2^25 items unbounded.
  Texts texts;
  for (int i = 0; i < 25; ++i) {
    const std::string next = "s" + std::to_string(i + 1) + ".psc";
    std::string waits;
    for (int k = 0; k < 10; ++k) waits += "waituntil 1\n";
    texts["s" + std::to_string(i) + ".psc"] =
        waits + "include " + next + " 0\ninclude " + next + " 0\n";
  }
  texts["s25.psc"] = "waituntil 2\n";
  EXPECT_EXIT(
      {
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        LoadScript(s, "s0.psc", 0, FromMemory(texts));
      },
      ::testing::ExitedWithCode(0),
      "Error loading script: Scripts make more than 262144 items at line [0-9]+ of script "
      "s[0-9]+.psc!");
  ScriptLimits limits;
  limits.maxTotalBytes = 40000;
  EXPECT_EXIT(
      {
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        LoadScript(s, "s0.psc", 0, FromMemory(texts), limits);
      },
      ::testing::ExitedWithCode(0),
      "Error loading script: Scripts and their includes come to more than 40000 bytes at "
      "script s[0-9]+.psc!");
}

TEST_F(ScriptBoundsDeathTest, FanOutOfMissingOrEmptyScriptsIsBoundedToo) {
  // Neither bytes nor items grow here: only the count of scripts opened does.
  Texts texts;
  for (int i = 0; i < 25; ++i) {
    const std::string next = "s" + std::to_string(i + 1) + ".psc";
    texts["s" + std::to_string(i) + ".psc"] = "include " + next + " 0\ninclude " + next + " 0\n";
  }
  texts["s25.psc"] = "";
  ScriptLimits limits;
  limits.maxScriptReads = 1000;
  EXPECT_EXIT(
      {
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        texts.erase("s25.psc");
        LoadScript(s, "s0.psc", 0, FromMemory(texts), limits);
      },
      ::testing::ExitedWithCode(0),
      "Error loading script: Scripts include more than 1000 files at script s[0-9]+.psc!");
  EXPECT_EXIT(
      {
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        LoadScript(s, "s0.psc", 0, FromMemory(texts));
      },
      ::testing::ExitedWithCode(0), "Scripts include more than 65536 files");
}

TEST_F(ScriptBoundsDeathTest, ScriptTextBeyondTheBoundIsRefusedWithAMessage) {
  ScriptLimits limits;
  limits.maxScriptBytes = 64;
  const std::string big = dir.write("big.psc", std::string(65, '#'));
  EXPECT_EXIT(
      {
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        LoadScript(s, big, 0, ReadScriptFile, limits);
      },
      ::testing::ExitedWithCode(0), "Error loading script: Script /.*/big.psc is larger than 64 bytes!");
}

TEST_F(ScriptBoundsDeathTest, LinesAreParsedOneAtATimeNotAllUpFront) {
  // 8 million one-letter lines: split up front they took about 2 GB before the
  // first one was looked at.
  Texts texts{{"many.psc", std::string(std::size_t{16} << 20, '\n')}};
  for (std::size_t i = 0; i < texts["many.psc"].size(); i += 2) texts["many.psc"][i] = 'a';
  EXPECT_EXIT(
      {
#ifndef SHOW_TEST_ASAN
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = std::uint64_t{1} << 30;
        setrlimit(RLIMIT_AS, &limit);
#endif
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        LoadScript(s, "many.psc", 0, FromMemory(texts));
      },
      ::testing::ExitedWithCode(0), "Invalid command 'a' in script many.psc!");
}

TEST_F(ScriptBounds, DiskReadsStopAtTheBoundAndKeepTheBytes) {
  const std::string path = dir.write("t.psc", std::string("ab\0\r\ncd", 7));
  ScriptFile file = ReadScriptFromDisk(path, 7);
  ASSERT_EQ(file.status, ScriptFile::Status::kRead);
  EXPECT_EQ(file.Text(), std::string_view("ab\0\r\ncd", 7));
  EXPECT_EQ(ReadScriptFromDisk(path, 6).status, ScriptFile::Status::kTooLarge);
  EXPECT_EQ(ReadScriptFromDisk(dir.file("none.psc"), 7).status, ScriptFile::Status::kMissing);
  EXPECT_EQ(ReadScriptFromDisk(dir.path(), 7).status, ScriptFile::Status::kUnreadable);
}

// A hand-made archive image with one entry, "demo.psc", whose directory states
// `declaredSize` bytes while `stored` bytes are stored (filter: none).
std::string ArchiveClaiming(std::uint32_t declaredSize, const std::string& stored) {
  std::string image = "CFL3";
  auto u32 = [&image](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) image += static_cast<char>(v >> (8 * i));
  };
  const auto storedLength = static_cast<std::uint32_t>(stored.size());
  const std::uint32_t directoryOffset = 12 + 4 + storedLength;
  const std::uint32_t directoryLength = 14 + 8;
  u32(directoryOffset);
  u32(directoryLength);
  u32(storedLength);
  image += stored;
  u32(0);                // directory filter
  u32(directoryLength);  // packed directory length
  u32(declaredSize);
  u32(12);  // the block's offset
  u32(0);   // its filter
  image += std::string("\x08\x00", 2);
  image += "demo.psc";
  return image;
}

TEST_F(ScriptBoundsDeathTest, ArchiveEntryClaimingGigabytesIsRefusedWithoutAllocatingThem) {
  const std::string path = dir.write("demo.cfl", ArchiveClaiming(0xF0000000u, "waituntil\n"));
  EXPECT_EXIT(
      {
#ifndef SHOW_TEST_ASAN
        // Under this limit the old 4 GB buffer ended the process by bad_alloc.
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = std::uint64_t{1} << 30;
        setrlimit(RLIMIT_AS, &limit);
#endif
        CFLArchive archive;
        if (!archive.Open(path.c_str())) _exit(3);
        SetProgramArchive(&archive);
        RecordedDevice device;
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        s.loadScript("demo.psc", 0);
      },
      ::testing::ExitedWithCode(0), "Error loading script: Script demo.psc is larger than");
}

TEST_F(ScriptBounds, DamagedArchiveEntryIsAnEmptyScriptAndSaysSo) {
  const std::string path = dir.write("demo.cfl", ArchiveClaiming(1000, "waituntil 5\n"));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open(path.c_str()));
  SetProgramArchive(&archive);
  ::testing::internal::CaptureStderr();
  RecordedDevice device;
  Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
  s.loadScript("demo.psc", 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  SetProgramArchive(nullptr);
  EXPECT_TRUE(s.items.empty());
  EXPECT_NE(said.find("script demo.psc cannot be read (its archive entry is damaged)"),
            std::string::npos)
      << said;
}

}  // namespace
