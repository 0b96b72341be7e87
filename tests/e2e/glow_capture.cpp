// A scene played from an archive: a self-illuminated quad gains a halo that fades
// with distance from its edge, and a sprite above it is drawn additively.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "images_capture.h"
#include "support/GlowSceneFile.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(GlowCapture, SelfIlluminatedQuadHasAFadingHaloAndTheSpriteIsDrawn) {
  TempDir t;
  t.write("packed/demo.psc",
          "loadscene glow.psk g\nplayscene g\nsetscenetime 0\nwaituntil 200\n");
  t.write("packed/glow.psk", GlowSceneFile());
  t.write("packed/spark.tga", SolidTga(8, 255));
  fs::create_directories(t.file("bin"));
  fs::create_directories(t.file("data"));
  fs::copy_file(SHOW_DEMO_EXE, t.file("bin/demo"));
  ProcessResult packed = RunProcess(
      SHOW_CFLPACK_EXE, {"create", t.file("bin/demo.cfl"), "--filter", "auto", t.file("packed")});
  ASSERT_EQ(packed.exitCode, 0) << packed.output;
  ProcessResult r = RunProcess(t.file("bin/demo"), {"--headless", "--capture", t.file("out"), "--frames", "png",
                                                    "--fps", "10", "--data", t.file("data")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  PngPicture frame(t.file("out/frame-000001.png"));
  ASSERT_TRUE(frame.valid()) << r.output;
  ASSERT_EQ(frame.width, 1024);
  // The quad covers about x 432..592, y 304..464; its glow saturates a band around it.
  EXPECT_PIXEL(frame, 512, 384, (Rgb{255, 255, 255}), 2);
  // Right of its edge the halo fades: each step further out is darker, and far away
  // only the faint average of the smallest levels is left.
  const int xs[] = {640, 670, 710, 760, 830, 900};
  for (int i = 0; i + 1 < 6; ++i)
    EXPECT_GT(frame.at(xs[i], 384).r, frame.at(xs[i + 1], 384).r) << "at x " << xs[i];
  EXPECT_GT(frame.at(640, 384).r, 150);
  EXPECT_LT(frame.at(1010, 750).r, 48);
  // The sprite: a white square of about 61 pixels around (512, 145).
  EXPECT_PIXEL(frame, 512, 146, (Rgb{255, 255, 255}), 2);
  EXPECT_PIXEL(frame, 500, 140, (Rgb{255, 255, 255}), 2);
}

}  // namespace

namespace {

// A looped show builds a new script player for every pass while the old one goes;
// every pass must glow as the first one did.
TEST(GlowCapture, EveryPassOfALoopedShowGlowsAlike) {
  TempDir t;
  t.write("show/demo.psc", "loadscene glow.psk g\nplayscene g\nsetscenetime 0\nwaituntil 1000\n");
  t.write("show/glow.psk", GlowSceneFile());
  t.write("show/spark.tga", SolidTga(8, 255));
  ProcessResult r = RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", t.file("out"), "--frames",
                                               "png", "--fps", "10", "--loop", "--seconds", "3.5",
                                               "--data", t.file("show")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // 11 frames a pass (0 to 1000 ms), then the black frame of its end; passes two and
  // three start at 100 ms, so frame 27 shows the third pass at 500 ms like frame 5.
  PngPicture first(t.file("out/frame-000005.png"));
  PngPicture third(t.file("out/frame-000027.png"));
  ASSERT_TRUE(first.valid() && third.valid()) << r.output;
  EXPECT_GT(first.at(640, 384).r, 150) << "the first pass glows";
  EXPECT_EQ(PngPicture(t.file("out/frame-000011.png")).at(512, 384), kBlack) << "end of a pass";
  for (int y = 0; y < first.height; y += 8)
    for (int x = 0; x < first.width; x += 8)
      ASSERT_EQ(third.at(x, y), first.at(x, y)) << "at (" << x << ", " << y << ")";
}

}  // namespace
