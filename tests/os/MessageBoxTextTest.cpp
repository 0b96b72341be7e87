#include <gtest/gtest.h>

#include <string>

#include "platform/os/oshost.h"
#include "platform/os/windows.h"

namespace {

std::string StandardErrorOf(const char* text, const char* caption) {
  OsSetHeadless(true);
  testing::internal::CaptureStderr();
  MessageBoxA(nullptr, text, caption, MB_OK);
  return testing::internal::GetCapturedStderr();
}

TEST(MessageBoxText, Windows1252BytesReachStandardErrorAsUtf8) {
  EXPECT_EQ(StandardErrorOf("Mit\xE4hittoo", "Error"), "Error: Mit\xC3\xA4hittoo\n");
  // The range where Windows-1252 and Latin-1 differ, and its undefined bytes.
  EXPECT_EQ(StandardErrorOf("\x80 \x99 \x9F \x81", "\xC9t\xE9"),
            "\xC3\x89t\xC3\xA9: \xE2\x82\xAC \xE2\x84\xA2 \xC5\xB8 \xC2\x81\n");
  // The box keeps the text as it was given.
  EXPECT_EQ(OsShownMessageBoxes().back().text, "\x80 \x99 \x9F \x81");
}

TEST(MessageBoxText, Utf8TextPassesUnchanged) {
  EXPECT_EQ(StandardErrorOf("d\xC3\xA9mo \xF0\x9F\x8E\xB5", "Demo"),
            "Demo: d\xC3\xA9mo \xF0\x9F\x8E\xB5\n");
  // A lead byte cut short at the end is a Windows-1252 letter.
  EXPECT_EQ(StandardErrorOf("caf\xC3", "Demo"), "Demo: caf\xC3\x83\n");
}

}  // namespace
