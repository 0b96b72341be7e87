#include <gtest/gtest.h>

#include "text/Text.h"

namespace {

using Pieces = std::vector<std::string_view>;

TEST(Text, SplitSkipsRunsOfSeparatorsAndStopsAtItsLimit) {
  EXPECT_EQ(text::Split("  a \t b  c ", " \t"), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(text::Split("==key==value=more", "="), (Pieces{"key", "value", "more"}));
  EXPECT_EQ(text::Split("a b c d", " ", 2), (Pieces{"a", "b"}));
  EXPECT_TRUE(text::Split("", " ").empty());
  EXPECT_TRUE(text::Split("   ", " ").empty());
}

TEST(Text, TrimAndLowerTouchOnlyWhatTheyName) {
  EXPECT_EQ(text::Trim("\r\n\tx y\t\r\n", "\r\n"), "\tx y\t");
  EXPECT_EQ(text::TrimSpace("\v\f x \t\r"), "x");
  EXPECT_EQ(text::TrimSpace(" \t "), "");
  // ASCII only: bytes above 127 are left as they are, whatever the locale.
  EXPECT_EQ(text::Lower("MiXeD\xC4Z09"), "mixed\xC4z09");
}

TEST(Text, EscapeMakesControlBytesAndByteOrderMarksVisible) {
  EXPECT_EQ(text::Escape("plain name.psc"), "plain name.psc");
  EXPECT_EQ(text::Escape("a\x1b[2Jb\r\n\x7f"), "a\\x1B[2Jb\\x0D\\x0A\\x7F");
  EXPECT_EQ(text::Escape("\xEF\xBB\xBFx\xEF\xBB"), "\\xEF\\xBB\\xBFx\xEF\xBB");
  EXPECT_EQ(text::Escape(std::string_view("a\0b", 3)), "a\\x00b");
  // A backslash is doubled, so an escape cannot be forged by the text itself.
  EXPECT_EQ(text::Escape("\\x41"), "\\\\x41");
  EXPECT_EQ(text::Escape("caf\xC3\xA9"), "caf\xC3\xA9");
}

}  // namespace
