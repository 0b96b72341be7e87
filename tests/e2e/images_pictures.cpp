// Pictures and picture sequences in capture runs: a picture drawn one texel per
// pixel, sequences stepping at their designed times and wrapping, and the fatal
// and the quiet outcomes of bad picture data.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/images_capture.h"

namespace {

constexpr Rgb kNavy{0, 0, 80};

TEST(ImagesPictures, PictureIsDrawnOneTexelPerPixel) {
  ShowCapture show("images_picture", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  PngPicture grid(TestDataFolder("images_picture") + "/grid.png");
  ASSERT_TRUE(grid.valid());
  PngPicture f = show.frame(0);
  ASSERT_TRUE(f.valid());
  // Placed at (10, 20): the half-unit offset moves columns by one, rows not at all.
  for (int y = 0; y < grid.height; ++y) {
    for (int x = 0; x < grid.width; ++x) EXPECT_PIXEL(f, 11 + x, 20 + y, grid.at(x, y), 0);
    EXPECT_PIXEL(f, 10, 20 + y, kNavy, 0);
    EXPECT_PIXEL(f, 11 + grid.width, 20 + y, kNavy, 0);
  }
  for (int x = 0; x < grid.width; ++x) {
    EXPECT_PIXEL(f, 11 + x, 19, kNavy, 0);
    EXPECT_PIXEL(f, 11 + x, 20 + grid.height, kNavy, 0);
  }
}

TEST(ImagesPictures, SequencesStepAtTheirTimesAndWrap) {
  ShowCapture show("images_sequence", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  ASSERT_EQ(show.frameCount(), 8);
  // Timed 0/100 ms: period 150. Rate 10/s: 0/100/200 ms, period 266.7. The third
  // (0/10/20/60 ms, period 75) is due to skip a picture at 100 ms but steps one.
  const Rgb timed[7] = {kRed, kGreen, kRed, kRed, kGreen, kRed, kRed};
  const Rgb rate[7] = {kRed, kGreen, kBlue, kRed, kGreen, kBlue, kRed};
  const Rgb jump[7] = {kRed, kGreen, kBlue, kBlue, kBlue, kBlue, kBlue};
  for (int n = 0; n < 7; ++n) {
    PngPicture f = show.frame(n);
    ASSERT_TRUE(f.valid());
    EXPECT_PIXEL(f, 1, 0, timed[n], 0) << " frame " << n;
    EXPECT_PIXEL(f, 2, 1, timed[n], 0) << " frame " << n;
    EXPECT_PIXEL(f, 11, 0, rate[n], 0) << " frame " << n;
    EXPECT_PIXEL(f, 21, 0, jump[n], 0) << " frame " << n;
  }
}

TEST(ImagesPictures, SequenceFramesOfOtherSizesAndFormatsStayInside) {
  ShowCapture show("images_sizes", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  // The texture is 4 x 4 (the last picture). Larger pictures are cut to it; smaller
  // ones fill their part and leave the rest black.
  PngPicture big = show.frame(0), small = show.frame(1), last = show.frame(2);
  for (int y = 100; y < 104; ++y)
    for (int x = 101; x < 105; ++x) {
      EXPECT_PIXEL(big, x, y, (Rgb{255, 255, 0}), 0);
      const bool inGrey = x < 103 && y < 103;
      EXPECT_PIXEL(small, x, y, (inGrey ? Rgb{100, 100, 100} : Rgb{0, 0, 0}), 0);
      EXPECT_PIXEL(last, x, y, (Rgb{0, 255, 255}), 0);
    }
  EXPECT_PIXEL(big, 105, 100, kNavy, 0);
  EXPECT_PIXEL(big, 101, 104, kNavy, 0);
}

// A show of `script` beside copies of the test pictures.
class PictureShow {
 public:
  explicit PictureShow(const std::string& script) {
    for (const char* name : {"red.png", "green.png", "blue.png"})
      std::filesystem::copy_file(TestDataFolder("images_sequence") + "/" + name, dir.file(name));
    dir.write("demo.psc", script);
  }
  TempDir dir;
};

TEST(ImagesPictures, MissingOrUnreadablePicturesEndTheShow) {
  struct Case {
    const char* file;
    const char* content;  // null: no such file
    const char* message;
  };
  const Case cases[] = {
      {"nothere.png", nullptr, "Error: Image load failed: nothere.png\n"},
      {"broken.png", "\x89PNG\r\n\x1a\n not really", "Error: Image load failed: broken.png\n"},
      {"empty.png", "", "Error: Image load failed: empty.png\n"},
      {"missing.seq", nullptr, "Error: Image load failed: missing.seq\n"},
      {"nothing.seq", "fps = 25\n# no pictures\n", "Error: Image load failed: nothing.seq\n"},
      {"onlytime.seq", "0 red.png\n300\n", "Error: Image load failed: \n"},
      {"gone.seq", "0 red.png\n100 gone.png\n", "Error: Image load failed: gone.png\n"},
  };
  for (const Case& c : cases) {
    PictureShow show(std::string("loadimage ") + c.file + " pic\nsetlayer pic 0\nwaituntil 100\n");
    if (c.content) show.dir.write(c.file, c.content);
    ShowCapture run(show.dir, 10);
    EXPECT_EQ(run.result().exitCode, 0) << c.file;
    EXPECT_NE(run.result().output.find(c.message), std::string::npos)
        << c.file << ": " << run.result().output;
    EXPECT_EQ(run.frameCount(), 0) << c.file;  // the load runs before the first frame
  }
}

TEST(ImagesPictures, SequencesWithoutAPeriodStandStillOnTheirFirstPicture) {
  for (const char* seq : {"0 green.png\n", "0 green.png\n0 red.png\n", "fps = 0\ngreen.png\nred.png\n",
                          "-100 green.png\n-50 red.png\n"}) {
    PictureShow show("loadimage still.seq s\nsetlayer s 0\nwaituntil 150\n");
    show.dir.write("still.seq", seq);
    ShowCapture run(show.dir, 10);
    ASSERT_EQ(run.result().exitCode, 0) << seq << run.result().output;
    ASSERT_EQ(run.frameCount(), 3) << seq;
    for (int n = 0; n < 2; ++n) EXPECT_PIXEL(run.frame(n), 1, 0, kGreen, 0) << seq << n;
  }
}

}  // namespace
