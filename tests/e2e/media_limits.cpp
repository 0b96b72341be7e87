// Media at the edges, through the player: a picture wider than the device's
// textures is still shown, a long sequence repeating one picture plays, a movie
// named by an absolute path reaches the movie control, and a fatal end whose
// designed text names no file says which file on standard error.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/images_capture.h"

namespace {

// An uncompressed movie header of `frames` frames, 550 x 400 pixels, then an End tag.
std::string Movie(std::uint8_t frames) {
  // Rectangle: 5 bits of size (15), then 0, 11000, 0, 8000 twips in 15 bits each.
  const std::string rect = {'\x78', '\x00', '\x05', '\x5F', '\x00', '\x00', '\x0F', '\xA0', '\x00'};
  std::string body = rect + std::string{'\x00', '\x18', static_cast<char>(frames), '\x00'};
  body += std::string(2, '\0');
  const auto length = static_cast<std::uint32_t>(8 + body.size());
  std::string file = "FWS\x06";
  for (int i = 0; i < 4; ++i) file += static_cast<char>(length >> (8 * i));
  return file + body;
}

// A width x height RGB PNG, red left of column `split` and blue from there on.
void WriteSplitPng(const std::string& path, int width, int height, int split) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      rgb[(static_cast<std::size_t>(y) * width + x) * 3 + (x < split ? 0 : 2)] = 0xFF;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr));
}

TEST(MediaLimits, PictureWiderThanTheDeviceTakesIsShownScaled) {
  TempDir show;
  WriteSplitPng(show.file("wide.png"), 5000, 2, 4000);  // textures stop at 4096
  show.write("demo.psc",
             "loadimage wide.png w\nsetlayer w 0\nsetlayerpos 0 -3990 0\nwaituntil 100\n");
  ShowCapture run(show, 10);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  EXPECT_NE(run.result().output.find("'wide.png' is 5000x2"), std::string::npos)
      << run.result().output;
  PngPicture f = run.frame(0);
  ASSERT_TRUE(f.valid());
  // Its own size on screen: the red part ends at screen column 10, blue follows.
  EXPECT_PIXEL(f, 3, 0, kRed, 0);
  EXPECT_PIXEL(f, 20, 1, kBlue, 0);
  EXPECT_PIXEL(f, 1000, 0, kBlue, 0);
  EXPECT_PIXEL(f, 20, 2, kBlack, 0);
}

TEST(MediaLimits, LongSequenceRepeatingTwoPicturesPlays) {
  TempDir show;
  WriteSplitPng(show.file("r.png"), 512, 512, 512);
  WriteSplitPng(show.file("b.png"), 512, 512, 0);
  std::string seq = "fps = 10\n";
  for (int i = 0; i < 2000; ++i) seq += i % 2 ? "b.png\n" : "r.png\n";
  show.write("long.seq", seq);
  show.write("demo.psc", "loadimage long.seq s\nsetlayer s 0\nwaituntil 300\n");
  ShowCapture run(show, 10);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  ASSERT_GE(run.frameCount(), 3);
  EXPECT_PIXEL(run.frame(0), 100, 100, kRed, 0);
  EXPECT_PIXEL(run.frame(1), 100, 100, kBlue, 0);
  EXPECT_PIXEL(run.frame(2), 100, 100, kRed, 0);
}

TEST(MediaLimits, MovieNamedByAnAbsolutePathReachesTheControl) {
  TempDir movies, show;
  const std::string movie = movies.write("intro.swf", Movie(4));
  show.write("demo.psc", "loadflash " + movie + " m\nplayflash m 1 1\nwaituntil 100\n");
  ShowCapture run(show, 10);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  EXPECT_EQ(run.result().output.find("FlashPlayer"), std::string::npos) << run.result().output;
  EXPECT_GE(run.frameCount(), 1);
}

TEST(MediaLimits, UnknownTextureFormatNamesTheFileOnStandardError) {
  TempDir show;
  std::filesystem::copy_file(TestDataFolder("images_formats") + "/greyalpha.png",
                             show.file("ga.png"));
  show.write("demo.psc", "loadimage ga.png g\nsetlayer g 0\nwaituntil 100\n");
  ShowCapture run(show, 10);
  EXPECT_EQ(run.result().exitCode, 0);
  const std::string& said = run.result().output;
  const auto named = said.find("Image 'ga.png': texture format");
  const auto box = said.find("\nError: Unknown texture format\n");
  EXPECT_NE(named, std::string::npos) << said;
  EXPECT_NE(box, std::string::npos) << said;
  EXPECT_LT(named, box) << said;
  EXPECT_EQ(run.frameCount(), 0);
}

}  // namespace
