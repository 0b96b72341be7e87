#include <gtest/gtest.h>

#include <limits>

#include "script/ScriptText.h"

namespace {

std::vector<std::string> Keywords(const std::string& text) {
  std::vector<std::string> keywords;
  for (const auto& line : SplitScriptLines(text)) keywords.push_back(line.keyword);
  return keywords;
}

TEST(ScriptText, BlankLinesCommentsAndLineEndingsAreSkipped) {
  const std::string text =
      "\n\n   # a comment with words\r\n#another\nwaituntil 10\r\n\r\n   \n"
      "  settime   5  \n\n\n";
  EXPECT_EQ(Keywords(text), (std::vector<std::string>{"waituntil", "settime"}));
  EXPECT_TRUE(SplitScriptLines("").empty());
  EXPECT_TRUE(SplitScriptLines("\n\n\n").empty());
}

TEST(ScriptText, TabBeforeHashIsACommandNotAComment) {
  auto lines = SplitScriptLines("\t# not a comment\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].keyword, "#");
  EXPECT_EQ(lines[0].arguments[0], "not");
}

TEST(ScriptText, TokensAreSplitOnSpacesAndTabsAndCapAtFiveArguments) {
  auto lines = SplitScriptLines("LoadImage\tLogo.PNG  \t Title a b c d e f  # trailing remark");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].keyword, "LoadImage");
  EXPECT_EQ(lines[0].arguments,
            (std::vector<std::string>{"Logo.PNG", "Title", "a", "b", "c"}));
  auto shortLine = SplitScriptLines("setlayerpos 3 100");
  EXPECT_EQ(shortLine[0].arguments, (std::vector<std::string>{"3", "100", "", "", ""}));
}

TEST(ScriptText, LastLineWithoutLineFeedCounts) {
  EXPECT_EQ(Keywords("settime 1\nwaituntil 2"), (std::vector<std::string>{"settime", "waituntil"}));
}

TEST(ScriptText, IntegerConversionTakesTheNumericPrefix) {
  EXPECT_EQ(ParseInteger("12.7"), 12);
  EXPECT_EQ(ParseInteger("  -42xyz"), -42);
  EXPECT_EQ(ParseInteger("+7"), 7);
  EXPECT_EQ(ParseInteger("abc"), 0);
  EXPECT_EQ(ParseInteger(""), 0);
  EXPECT_EQ(ParseInteger("2500.9"), 2500);
  // No overflow check: the value wraps as a 32-bit integer does.
  EXPECT_EQ(ParseInteger("4294967295"), -1);
}

TEST(ScriptText, RealConversionKeepsFractionsAndExponents) {
  EXPECT_FLOAT_EQ(ParseReal("0.25"), 0.25f);
  EXPECT_FLOAT_EQ(ParseReal("-1.5e2"), -150.0f);
  EXPECT_FLOAT_EQ(ParseReal(" 3x"), 3.0f);
  EXPECT_FLOAT_EQ(ParseReal("x3"), 0.0f);
  EXPECT_FLOAT_EQ(ParseReal(""), 0.0f);
  EXPECT_EQ(ParseReal("1e39"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ParseReal("-1e300"), -std::numeric_limits<float>::infinity());
}

}  // namespace
