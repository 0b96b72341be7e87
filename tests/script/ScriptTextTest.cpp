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

TEST(ScriptText, ALineOfTabsAloneIsACommandWithAnEmptyKeyword) {
  auto lines = SplitScriptLines("\t\t \nsettime 1\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].keyword, "");
  EXPECT_EQ(lines[0].arguments, (std::vector<std::string>(5)));
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

std::vector<std::size_t> LineNumbers(const std::string& text) {
  std::vector<std::size_t> numbers;
  for (const auto& line : SplitScriptLines(text)) numbers.push_back(line.number);
  return numbers;
}

TEST(ScriptText, LoneCarriageReturnsEndLinesAsLineFeedsDo) {
  // Saved by an old Mac editor: no line feed at all.
  EXPECT_EQ(Keywords("settime 1\rwaituntil 2\r\rsetvolume 3\r"),
            (std::vector<std::string>{"settime", "waituntil", "setvolume"}));
  EXPECT_EQ(LineNumbers("settime 1\rwaituntil 2\r\rsetvolume 3\r"),
            (std::vector<std::size_t>{1, 2, 4}));
  // A CR LF pair is one line end; mixed endings count every line once.
  EXPECT_EQ(LineNumbers("a\r\nb\nc\rd\n\r\ne"), (std::vector<std::size_t>{1, 2, 3, 4, 6}));
  EXPECT_EQ(SplitScriptLines("settime 1\r5")[0].arguments[0], "1");
}

TEST(ScriptText, ByteOrderMarkAtTheStartIsSkippedAndTheTextEndsAtAZeroByte) {
  EXPECT_EQ(Keywords("\xEF\xBB\xBFsettime 1\n"), (std::vector<std::string>{"settime"}));
  // Only at the start: elsewhere it stays part of the token.
  EXPECT_EQ(Keywords("settime 1\n\xEF\xBB\xBFwaituntil 2\n"),
            (std::vector<std::string>{"settime", "\xEF\xBB\xBFwaituntil"}));
  EXPECT_EQ(Keywords(std::string("settime 1\n\0waituntil 2\n", 23)),
            (std::vector<std::string>{"settime"}));
}

TEST(ScriptText, IntegerConversionTakesTheNumericPrefix) {
  auto parse = [](const char* s) {
    std::int32_t value = 99;
    EXPECT_TRUE(ParseInteger(s, value)) << s;
    return value;
  };
  EXPECT_EQ(parse("12.7"), 12);
  EXPECT_EQ(parse("  -42xyz"), -42);
  EXPECT_EQ(parse("+7"), 7);
  EXPECT_EQ(parse("abc"), 0);
  EXPECT_EQ(parse(""), 0);
  EXPECT_EQ(parse("2500.9"), 2500);
  EXPECT_EQ(parse("2147483647"), 2147483647);
  EXPECT_EQ(parse("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parse("000000000000000000001"), 1);
}

TEST(ScriptText, IntegersBeyondThirtyTwoBitsAreRefusedNotWrapped) {
  for (const char* s : {"2147483648", "-2147483649", "3000000000", "4294967295",
                        "99999999999999999999999"}) {
    std::int32_t value = 99;
    EXPECT_FALSE(ParseInteger(s, value)) << s;
    EXPECT_EQ(value, 0) << s;
  }
}

TEST(ScriptText, RealConversionKeepsFractionsAndExponents) {
  auto parse = [](const char* s) {
    float value = 99;
    EXPECT_TRUE(ParseReal(s, value)) << s;
    return value;
  };
  EXPECT_FLOAT_EQ(parse("0.25"), 0.25f);
  EXPECT_FLOAT_EQ(parse("-1.5e2"), -150.0f);
  EXPECT_FLOAT_EQ(parse(" 3x"), 3.0f);
  EXPECT_FLOAT_EQ(parse("x3"), 0.0f);
  EXPECT_FLOAT_EQ(parse(""), 0.0f);
}

TEST(ScriptText, RealsThatAreNotFiniteFloatsAreRefused) {
  for (const char* s : {"nan", "-NaN", "inf", "infinity", "1e39", "-1e300"}) {
    float value = 99;
    EXPECT_FALSE(ParseReal(s, value)) << s;
    EXPECT_EQ(value, 0.0f) << s;
  }
  EXPECT_EQ(ToFloat(1e39), std::numeric_limits<float>::infinity());
}

}  // namespace
