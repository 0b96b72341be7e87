// The end-to-end shows built for the web, played in headless Chromium on the capture
// clock and compared frame by frame with the native player's capture of the same show.
//
// Tolerance: the two rasterisers (Mesa's llvmpipe natively, SwiftShader under WebGL2)
// run the same generated programs and differ only in rounding: a colour channel may be
// off by a few steps everywhere, and the filtered edge texels of a scaled or moving
// picture may differ more. A frame matches when its mean channel difference is at most
// 1 and no more than 0.5% of its pixels differ by more than 16 in a channel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/images_capture.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr double kMeanDifference = 1.0;
constexpr int kLargeDifference = 16;
constexpr double kLargeShare = 0.005;

const std::string kSource = SHOW_SOURCE_DIR;

struct WebShow {
  std::string name;    // test data folder, or "sample"
  std::string fps;
  std::string seconds;
  std::string start;   // empty: from the beginning
};

std::vector<std::string> CaptureOptions(const WebShow& show) {
  std::vector<std::string> options = {"--fps", show.fps, "--seconds", show.seconds};
  if (!show.start.empty()) options.insert(options.end(), {"--start", show.start});
  return options;
}

int FrameCount(const std::string& folder) {
  int n = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    if (entry.path().filename().string().rfind("frame-", 0) == 0) ++n;
  return n;
}

std::string FrameName(const std::string& folder, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%06d.png", n);
  return folder + name;
}

struct Difference {
  double mean = 0;
  double largeShare = 0;
};

Difference Compare(const PngPicture& a, const PngPicture& b) {
  Difference d;
  long long sum = 0, large = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const Rgb p = a.at(x, y), q = b.at(x, y);
      const int dr = std::abs(p.r - q.r), dg = std::abs(p.g - q.g), db = std::abs(p.b - q.b);
      sum += dr + dg + db;
      large += (dr > kLargeDifference || dg > kLargeDifference || db > kLargeDifference);
    }
  const double pixels = static_cast<double>(a.width) * a.height;
  d.mean = sum / (3 * pixels);
  d.largeShare = large / pixels;
  return d;
}

class WebCapture : public ::testing::TestWithParam<WebShow> {};

TEST_P(WebCapture, EveryFrameMatchesTheNativeCapture) {
  const WebShow& show = GetParam();
  TempDir work;
  std::string folder = TestDataFolder(show.name);
  if (show.name == "sample") {
    // The sample's 3D scene and its textures are made from source.
    folder = work.file("sample");
    fs::copy(kSource + "/examples/sample", folder, fs::copy_options::recursive);
    ProcessResult made = RunProcess(SHOW_SCENEGEN_EXE, {"sample", folder});
    ASSERT_EQ(made.exitCode, 0) << made.output;
  }
  const std::string page = work.file("page"), native = work.file("native"), web = work.file("web");
  ProcessResult built = RunProcess("bash", {kSource + "/scripts/make-web.sh", folder, page}, "", {}, 3000);
  ASSERT_EQ(built.exitCode, 0) << built.output;

  std::vector<std::string> nativeArgs = {"--headless", "--capture", native, "--frames", "png",
                                         "--data", folder};
  for (const std::string& option : CaptureOptions(show)) nativeArgs.push_back(option);
  ProcessResult nativeRun = RunProcess(SHOW_DEMO_EXE, nativeArgs, "",
                                       {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"}, 600);
  ASSERT_EQ(nativeRun.exitCode, 0) << nativeRun.output;

  std::vector<std::string> webArgs = {kSource + "/scripts/web-capture.sh", page, web};
  for (const std::string& option : CaptureOptions(show)) webArgs.push_back(option);
  ProcessResult webRun = RunProcess("bash", webArgs, "", {}, 1200);
  ASSERT_EQ(webRun.exitCode, 0) << webRun.output;

  const int frames = FrameCount(native);
  ASSERT_GT(frames, 0);
  ASSERT_EQ(FrameCount(web), frames);
  int failed = 0;
  for (int n = 0; n < frames && failed < 5; ++n) {
    const PngPicture a(FrameName(native, n)), b(FrameName(web, n));
    ASSERT_TRUE(a.valid() && b.valid()) << "frame " << n;
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    const Difference d = Compare(a, b);
    const bool ok = d.mean <= kMeanDifference && d.largeShare <= kLargeShare;
    failed += !ok;
    EXPECT_TRUE(ok) << show.name << " frame " << n << ": mean difference " << d.mean
                    << ", share of pixels off by more than " << kLargeDifference << ": "
                    << d.largeShare;
  }
  // The sound is mixed by the same code from the same data: the same length.
  if (fs::exists(native + "/audio.wav"))
    EXPECT_EQ(fs::file_size(web + "/audio.wav"), fs::file_size(native + "/audio.wav"));
}

INSTANTIATE_TEST_SUITE_P(
    Shows, WebCapture,
    ::testing::Values(WebShow{"images_picture", "10", "2", ""}, WebShow{"images_colour", "10", "2", ""},
                      WebShow{"images_blend", "10", "2", ""}, WebShow{"images_fade", "10", "2", ""},
                      WebShow{"images_move", "10", "2", ""}, WebShow{"images_order", "10", "2", ""},
                      WebShow{"images_sequence", "10", "3", ""},
                      // Music, then the 3D scene with its glow and sprites.
                      WebShow{"sample", "10", "1", "2"}, WebShow{"sample", "10", "2", "36"}),
    [](const ::testing::TestParamInfo<WebShow>& info) {
      return info.param.name + "_" + std::to_string(info.index);
    });

}  // namespace
