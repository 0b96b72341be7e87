// Colour layers, blending, fades, moves, freeing and layer order, checked pixel by
// pixel in capture runs at 10 frames per second (frame n is drawn at n * 100 ms).
// A layer's quad is shifted right by the half-unit world offset, so a layer at x
// covers pixel columns x + 1 onwards (column 0 stays clear under a layer at 0).
#include <gtest/gtest.h>

#include "e2e/images_capture.h"

namespace {

TEST(ImagesLayers, ColourLayerAtAPositionAndOpacity) {
  ShowCapture show("images_colour", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  ASSERT_EQ(show.frameCount(), 3);
  PngPicture f = show.frame(0);
  ASSERT_TRUE(f.valid());
  EXPECT_PIXEL(f, 0, 0, kBlack, 0);
  EXPECT_PIXEL(f, 1, 0, kBlue, 0);
  EXPECT_PIXEL(f, 100, 50, kBlue, 0);
  EXPECT_PIXEL(f, 101, 49, kBlue, 0);
  // Opacity 0.5 is the byte 128: 255 * 128/255 red over 255 * 127/255 blue.
  EXPECT_PIXEL(f, 101, 50, (Rgb{128, 0, 127}), 1);
  EXPECT_PIXEL(f, 1023, 767, (Rgb{128, 0, 127}), 1);
  EXPECT_PIXEL(show.frame(2), 500, 500, kBlack, 0);  // the show has ended
}

TEST(ImagesLayers, AlphaAndAdditiveBlending) {
  ShowCapture show("images_blend", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  PngPicture f = show.frame(0);
  ASSERT_TRUE(f.valid());
  // The picture's own alpha (0, 64, 128, 255) over red 200.
  EXPECT_PIXEL(f, 11, 10, (Rgb{200, 0, 0}), 1);
  EXPECT_PIXEL(f, 12, 10, (Rgb{214, 64, 64}), 1);
  EXPECT_PIXEL(f, 13, 10, (Rgb{228, 128, 128}), 1);
  EXPECT_PIXEL(f, 14, 10, (Rgb{255, 255, 255}), 1);
  EXPECT_PIXEL(f, 11, 11, (Rgb{255, 0, 0}), 1);
  EXPECT_PIXEL(f, 12, 11, (Rgb{228, 0, 0}), 1);
  EXPECT_PIXEL(f, 13, 11, (Rgb{214, 0, 0}), 1);
  EXPECT_PIXEL(f, 14, 11, (Rgb{200, 0, 0}), 1);
  // Added: alpha plays no part, so even the transparent white adds fully.
  for (int x = 11; x <= 14; ++x) {
    EXPECT_PIXEL(f, x, 300, (Rgb{255, 255, 255}), 0);
    EXPECT_PIXEL(f, x, 301, (Rgb{255, 0, 0}), 0);
  }
  // Faded to 0.5: the layer's opacity (byte 127) replaces the picture's alpha.
  for (int x = 11; x <= 14; ++x) {
    EXPECT_PIXEL(f, x, 200, (Rgb{227, 127, 127}), 1);
    EXPECT_PIXEL(f, x, 201, (Rgb{227, 0, 0}), 1);
  }
  // An additive colour at opacity 0.5 is not dimmed: 200 + 100 saturates.
  EXPECT_PIXEL(f, 500, 399, (Rgb{200, 0, 0}), 0);
  EXPECT_PIXEL(f, 500, 400, (Rgb{255, 100, 100}), 0);
}

TEST(ImagesLayers, FadeRunsOneFrameBehindAndBelowZero) {
  ShowCapture show("images_fade", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  ASSERT_EQ(show.frameCount(), 10);
  // Frame n shows the opacity computed at frame n - 1.
  const int fadingIn[9] = {0, 0, 64, 128, 191, 255, 255, 255, 255};
  const int fadingOutAndBack[9] = {255, 255, 128, 0, 0, 0, 0, 128, 255};
  for (int n = 0; n < 9; ++n) {
    PngPicture f = show.frame(n);
    ASSERT_TRUE(f.valid());
    const int in = fadingIn[n], back = fadingOutAndBack[n];
    EXPECT_PIXEL(f, 100, 500, (Rgb{in, in, in}), 1) << " frame " << n;
    EXPECT_PIXEL(f, 700, 100, (Rgb{back, back, back}), 1) << " frame " << n;
  }
}

TEST(ImagesLayers, MoveRunsOneFrameBehindAndSurvivesSetLayerPos) {
  ShowCapture show("images_move", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  ASSERT_EQ(show.frameCount(), 5);
  // Frames 0 and 1 show x = 0 (computed at 0 ms, then at 0 ms again for frame 1).
  for (int n : {0, 1}) {
    PngPicture f = show.frame(n);
    EXPECT_PIXEL(f, 0, 0, kBlack, 0) << " frame " << n;
    EXPECT_PIXEL(f, 1, 0, kBlue, 0) << " frame " << n;
  }
  // Frame 2: setlayerpos put it at (0, 300) just before the draw.
  PngPicture f2 = show.frame(2);
  EXPECT_PIXEL(f2, 1, 299, kBlack, 0);
  EXPECT_PIXEL(f2, 1, 300, kBlue, 0);
  // Frame 3: the whole distance since the move started (200 units) from the new place.
  PngPicture f3 = show.frame(3);
  EXPECT_PIXEL(f3, 200, 300, kBlack, 0);
  EXPECT_PIXEL(f3, 201, 300, kBlue, 0);
  EXPECT_PIXEL(f3, 201, 299, kBlack, 0);
}

TEST(ImagesLayers, FreeImageRemovesEveryLayerShowingIt) {
  ShowCapture show("images_free", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  PngPicture before = show.frame(0), after = show.frame(1);
  EXPECT_PIXEL(before, 100, 100, kRed, 0);
  EXPECT_PIXEL(before, 100, 500, kRed, 0);
  EXPECT_PIXEL(before, 600, 100, kGreen, 0);
  EXPECT_PIXEL(before, 600, 500, kRed, 0);  // layer 5 lies over green's 3
  EXPECT_PIXEL(after, 100, 100, kBlack, 0);
  EXPECT_PIXEL(after, 100, 500, kBlack, 0);
  EXPECT_PIXEL(after, 600, 100, kGreen, 0);
  EXPECT_PIXEL(after, 600, 500, kGreen, 0);
}

TEST(ImagesLayers, LayersDrawInAscendingOrderAcrossZero) {
  ShowCapture show("images_order", 10);
  ASSERT_EQ(show.result().exitCode, 0) << show.result().output;
  PngPicture f = show.frame(0);
  EXPECT_PIXEL(f, 100, 100, kRed, 0);
  EXPECT_PIXEL(f, 300, 100, kRed, 0);
  EXPECT_PIXEL(f, 700, 100, kBlue, 0);
  EXPECT_PIXEL(f, 300, 400, kGreen, 0);
  EXPECT_PIXEL(f, 700, 400, kGreen, 0);
}

}  // namespace
