// Property text: line splitting and trimming, comments, separators, key case and
// first-occurrence rules, and the numeric reads of values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/loading/Configuration.h"

namespace {

Configuration Parsed(std::string_view text) {
  Configuration configuration;
  configuration.Parse(text);
  return configuration;
}

TEST(ConfigurationTest, LinesSplitAtNewlineLoseLineBreaksAndKeysAreLowerCased) {
  const Configuration c = Parsed("\r\rSpeed = 2\r\n\n\nNAME=  The Box \r\r\nlast=x");
  EXPECT_EQ(c.values.size(), 3u);
  EXPECT_EQ(c.GetString("speed"), "2");
  EXPECT_EQ(c.GetString("SPEED"), "2");       // the key asked for is lower-cased too
  EXPECT_EQ(c.GetString("name"), "The Box");  // value case is kept, blanks trimmed
  EXPECT_EQ(c.GetString("last"), "x");        // no newline after the last line
}

TEST(ConfigurationTest, NumberSignIsACommentOnlyAsFirstCharacter) {
  const Configuration c = Parsed("#hidden = 1\n  #shown = 2\n\r#alsohidden=3\nkey = a#b");
  EXPECT_FALSE(c.Has("hidden"));
  EXPECT_FALSE(c.Has("#hidden"));
  EXPECT_FALSE(c.Has("alsohidden"));      // "\r" is trimmed before the test
  EXPECT_EQ(c.GetString("#shown"), "2");  // blanks before it: a key beginning with "#"
  EXPECT_EQ(c.GetString("key"), "a#b");
}

TEST(ConfigurationTest, RunsOfEqualsAreOneSeparatorAndFurtherPiecesAreDropped) {
  const Configuration c = Parsed("Speed=2=3\n==lead==value\nwide ===  5 \ntrail=\n=\n====");
  EXPECT_EQ(c.GetString("speed"), "2");
  EXPECT_EQ(c.GetString("lead"), "value");  // leading separators are skipped
  EXPECT_EQ(c.GetString("wide"), "5");
  EXPECT_EQ(c.GetString("trail"), "");
  EXPECT_EQ(c.values.size(), 4u);  // lines of only "=" add nothing
}

TEST(ConfigurationTest, KeyWithoutEqualsIsPresentWithEmptyValue) {
  const Configuration c = Parsed("Skybox\n");
  ASSERT_TRUE(c.GetString("skybox").has_value());
  EXPECT_EQ(*c.GetString("skybox"), "");
  EXPECT_TRUE(c.Has("SkyBox"));
}

TEST(ConfigurationTest, FirstOccurrenceWinsWhateverTheCase) {
  Configuration c = Parsed("a0.looping = 1\nA0.LOOPING = 0\n");
  EXPECT_EQ(c.GetInt("a0.looping"), 1);
  c.Parse("a0.looping = 7\nnew = 1");  // a second text adds, never replaces
  EXPECT_EQ(c.GetInt("a0.looping"), 1);
  EXPECT_EQ(c.GetInt("new"), 1);
}

TEST(ConfigurationTest, BlankKeysAndEmptyTextAreKeptAsTheyCome) {
  EXPECT_TRUE(Parsed("").values.empty());
  EXPECT_TRUE(Parsed("\n\r\n\r").values.empty());
  // A line of blanks before "=" has the empty key.
  const Configuration c = Parsed("   = value");
  EXPECT_EQ(c.GetString(""), "value");
}

TEST(ConfigurationTest, MissingKeysGiveNoStringAndZeroNumbers) {
  const Configuration c = Parsed("present = 1");
  EXPECT_FALSE(c.GetString("absent").has_value());
  EXPECT_FALSE(c.Has("absent"));
  EXPECT_EQ(c.GetInt("absent"), 0);
  EXPECT_EQ(c.GetFloat("absent"), 0.0f);
}

TEST(ConfigurationTest, IntegersReadLikeAtoi) {
  const Configuration c = Parsed(
      "plain=42\nneg=-17\nplus=+8\nlead=12abc\nword=abc\nfrac=3.9\nempty=\nbig=99999999999\n"
      "small=-99999999999\nsigns=--3");
  EXPECT_EQ(c.GetInt("plain"), 42);
  EXPECT_EQ(c.GetInt("neg"), -17);
  EXPECT_EQ(c.GetInt("plus"), 8);
  EXPECT_EQ(c.GetInt("lead"), 12);
  EXPECT_EQ(c.GetInt("word"), 0);
  EXPECT_EQ(c.GetInt("frac"), 3);
  EXPECT_EQ(c.GetInt("empty"), 0);
  EXPECT_EQ(c.GetInt("big"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(c.GetInt("small"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(c.GetInt("signs"), 0);
}

TEST(ConfigurationTest, FloatsReadLikeAtof) {
  const Configuration c = Parsed(
      "a=1.5\nb=-0.25\nc=2e3\nd=.5\ne=7.\nf=1.5e-2x\ng=abc\nh=inf\ni=nan\nj=+3\nk=1e\n"
      "l=1e400\nm=1e-400\nn=-1e400\no=0x10");
  EXPECT_FLOAT_EQ(c.GetFloat("a"), 1.5f);
  EXPECT_FLOAT_EQ(c.GetFloat("b"), -0.25f);
  EXPECT_FLOAT_EQ(c.GetFloat("c"), 2000.0f);
  EXPECT_FLOAT_EQ(c.GetFloat("d"), 0.5f);
  EXPECT_FLOAT_EQ(c.GetFloat("e"), 7.0f);
  EXPECT_FLOAT_EQ(c.GetFloat("f"), 0.015f);
  EXPECT_EQ(c.GetFloat("g"), 0.0f);
  EXPECT_EQ(c.GetFloat("h"), 0.0f);  // decimal numbers only
  EXPECT_EQ(c.GetFloat("i"), 0.0f);
  EXPECT_FLOAT_EQ(c.GetFloat("j"), 3.0f);
  EXPECT_FLOAT_EQ(c.GetFloat("k"), 1.0f);  // an exponent without digits is not read
  EXPECT_TRUE(std::isinf(c.GetFloat("l")) && c.GetFloat("l") > 0);
  EXPECT_EQ(c.GetFloat("m"), 0.0f);
  EXPECT_TRUE(std::isinf(c.GetFloat("n")) && c.GetFloat("n") < 0);
  EXPECT_EQ(c.GetFloat("o"), 0.0f);  // "0" then an unread "x10"
}

}  // namespace
