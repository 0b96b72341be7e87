#include <gtest/gtest.h>

#include "media/SequenceFile.h"

namespace {

std::vector<float> Times(const std::vector<SequenceEntry>& entries) {
  std::vector<float> times;
  for (const auto& e : entries) times.push_back(e.time);
  return times;
}

std::vector<std::string> Names(const std::vector<SequenceEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.fileName);
  return names;
}

TEST(SequenceFile, RateModeIgnoresCaseAndSpacesAroundTheEquals) {
  auto entries = ParseSequenceFile("FPS = 25\r\na.png\r\nb.png\r\n\r\nc.png");
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
  EXPECT_EQ(Times(entries), (std::vector<float>{0, 40, 80}));

  EXPECT_EQ(Times(ParseSequenceFile("fps=4\nx.jpg\ny.jpg\n")), (std::vector<float>{0, 250}));
}

TEST(SequenceFile, RateModeTakesTheWholeLineAsTheNameAndSkipsComments) {
  auto entries = ParseSequenceFile("fps = 10\n  my picture 1.png  \n#a.png\nlast.png\n");
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"my picture 1.png", "last.png"}));
  // Comments take no time slot.
  EXPECT_EQ(Times(entries), (std::vector<float>{0, 100}));
}

TEST(SequenceFile, UnusableRatePutsEveryFrameAtZero) {
  for (const char* first : {"fps", "fps = 0", "fps = -5", "fps = abc", "fps = nan"}) {
    auto entries = ParseSequenceFile(std::string(first) + "\na.png\nb.png\n");
    EXPECT_EQ(Times(entries), (std::vector<float>{0, 0})) << first;
  }
}

TEST(SequenceFile, TimedModeReadsATimeAndANamePerLine) {
  auto entries = ParseSequenceFile(
      "0 a.png\n"
      "# 100 commented.png\n"
      "250\tb.png trailing words\n"
      "\t \t\n"
      "\n"
      "  500   c.png  \r\n");
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
  EXPECT_EQ(Times(entries), (std::vector<float>{0, 250, 500}));
}

TEST(SequenceFile, TimedLineWithOneTokenGivesAnEmptyName) {
  auto entries = ParseSequenceFile("0 a.png\n300\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].time, 300.0f);
  EXPECT_EQ(entries[1].fileName, "");
}

TEST(SequenceFile, FirstLineDecidesTheMode) {
  // Not "fps": the first line is already an entry.
  auto entries = ParseSequenceFile("40 a.png\nfps = 25\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].fileName, "a.png");
  EXPECT_EQ(entries[1].fileName, "=");  // "fps" reads as time 0
  EXPECT_TRUE(ParseSequenceFile("").empty());
  EXPECT_TRUE(ParseSequenceFile("\n\n\r\n").empty());
  EXPECT_TRUE(ParseSequenceFile("fps = 25\n# only a comment\n").empty());
}

TEST(SequenceFile, NameEndingDecidesSequenceInAnyCase) {
  EXPECT_TRUE(IsSequenceFileName("anim.seq"));
  EXPECT_TRUE(IsSequenceFileName("ANIM.SeQ"));
  EXPECT_TRUE(IsSequenceFileName("animseq"));
  EXPECT_TRUE(IsSequenceFileName("seq"));
  EXPECT_FALSE(IsSequenceFileName("anim.seq.png"));
  EXPECT_FALSE(IsSequenceFileName("eq"));
  EXPECT_FALSE(IsSequenceFileName(""));
}

}  // namespace
