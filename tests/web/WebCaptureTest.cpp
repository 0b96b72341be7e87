// The end-to-end shows built for the web, played in headless Chromium on the capture
// clock and compared frame by frame, and sample by sample, with the native player's
// capture of the same show.
//
// Tolerance. Both targets run the same generated programs; the rasterisers (Mesa's
// llvmpipe natively, SwiftShader under WebGL2) differ only in rounding. Pictures,
// colours and layers come out identical, and must stay within a mean channel
// difference of 0.05 with no pixel off by more than 16. The 3D scene's glow sums eight
// levels of blurred 8-bit targets, each rounded its rasteriser's way, into a faint haze
// over the whole frame: there a frame matches when its mean channel difference is at
// most 4 and no more than 0.5% of its pixels (the halos' edges) differ by more than 16
// (measured: 2.7 and 0.2%). The music is decoded by libmpg123's generic C on the web and
// by its x86 build natively: each sample within 2 of the native one (measured: 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/images_capture.h"
#include "support/RunProcess.h"
#include "support/SoundTestSupport.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using sound_test::Peak;
using sound_test::ReadWav;

constexpr int kLargeDifference = 16;
constexpr int kSampleDifference = 2;

struct Tolerance {
  double mean;        // of the channel differences over a frame
  double largeShare;  // of the pixels off by more than kLargeDifference
};
constexpr Tolerance kPictures{0.05, 0.0};
constexpr Tolerance kGlowingScene{4.0, 0.005};

const std::string kSource = SHOW_SOURCE_DIR;

struct WebShow {
  std::string name;    // test data folder, or "sample"
  std::string fps;
  std::string seconds;
  std::string start;   // empty: from the beginning
  Tolerance tolerance = kPictures;
};

void PrintTo(const WebShow& show, std::ostream* out) {
  *out << show.name << " at " << show.fps << " fps for " << show.seconds << " s";
  if (!show.start.empty()) *out << " from " << show.start << " s";
}

std::vector<std::string> CaptureOptions(const WebShow& show) {
  std::vector<std::string> options = {"--fps", show.fps, "--seconds", show.seconds};
  if (!show.start.empty()) options.insert(options.end(), {"--start", show.start});
  return options;
}

// The frame files of a capture folder, in order (a run from --start numbers its first
// frame by its place in the show).
std::vector<std::string> FrameNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    if (entry.path().filename().string().rfind("frame-", 0) == 0)
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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

// The show's folder: a test data folder, or the sample with its 3D scene and textures
// made from source under `work`.
std::string ShowFolder(const std::string& name, TempDir& work) {
  if (name != "sample") return TestDataFolder(name);
  const std::string folder = work.file("sample");
  fs::copy(kSource + "/examples/sample", folder, fs::copy_options::recursive);
  ProcessResult made = RunProcess(SHOW_SCENEGEN_EXE, {"sample", folder});
  EXPECT_EQ(made.exitCode, 0) << made.output;
  return folder;
}

// The page of `folder`'s show, made by make-web.sh into `page`.
::testing::AssertionResult MakePage(const std::string& folder, const std::string& page) {
  ProcessResult built =
      RunProcess("/bin/bash", {kSource + "/scripts/make-web.sh", folder, page}, "", {}, 3000);
  if (built.exitCode == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "make-web.sh: " << built.output;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// As a visitor meets the page: it asks the start-up question, plays after the click,
// and Escape ends the show on the end screen with status 0.
TEST(WebPage, AsksThenPlaysUntilEscape) {
  TempDir work;
  const std::string page = work.file("page"), report = work.file("report");
  ASSERT_TRUE(MakePage(ShowFolder("sample", work), page));
  ProcessResult run = RunProcess(
      "/bin/bash", {kSource + "/scripts/web-capture.sh", page, report, "--play", "2", "--ask", "no"},
      "", {}, 600);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string summary = ReadText(report + "/web-run.json");
  EXPECT_NE(summary.find("\"endScreen\": \"The show has ended.\""), std::string::npos) << summary;
  EXPECT_EQ(summary.find("\"framesShown\": 0,"), std::string::npos) << summary;
}

class WebCapture : public ::testing::TestWithParam<WebShow> {};

TEST_P(WebCapture, EveryFrameMatchesTheNativeCapture) {
  const WebShow& show = GetParam();
  TempDir work;
  const std::string folder = ShowFolder(show.name, work);
  const std::string page = work.file("page"), native = work.file("native"), web = work.file("web");
  ASSERT_TRUE(MakePage(folder, page));

  std::vector<std::string> nativeArgs = {"--headless", "--capture", native, "--frames", "png",
                                         "--data", folder};
  for (const std::string& option : CaptureOptions(show)) nativeArgs.push_back(option);
  ProcessResult nativeRun = RunProcess(SHOW_DEMO_EXE, nativeArgs, "",
                                       {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"}, 600);
  ASSERT_EQ(nativeRun.exitCode, 0) << nativeRun.output;

  std::vector<std::string> webArgs = {kSource + "/scripts/web-capture.sh", page, web};
  for (const std::string& option : CaptureOptions(show)) webArgs.push_back(option);
  ProcessResult webRun = RunProcess("/bin/bash", webArgs, "", {}, 1200);
  ASSERT_EQ(webRun.exitCode, 0) << webRun.output;

  const std::vector<std::string> frames = FrameNames(native);
  ASSERT_FALSE(frames.empty());
  ASSERT_EQ(FrameNames(web), frames);
  int failed = 0;
  Difference worst;
  for (std::size_t n = 0; n < frames.size() && failed < 5; ++n) {
    const PngPicture a(native + "/" + frames[n]), b(web + "/" + frames[n]);
    ASSERT_TRUE(a.valid() && b.valid()) << frames[n];
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    const Difference d = Compare(a, b);
    worst.mean = std::max(worst.mean, d.mean);
    worst.largeShare = std::max(worst.largeShare, d.largeShare);
    const bool ok = d.mean <= show.tolerance.mean && d.largeShare <= show.tolerance.largeShare;
    failed += !ok;
    EXPECT_TRUE(ok) << show.name << " " << frames[n] << ": mean difference " << d.mean
                    << ", share of pixels off by more than " << kLargeDifference << ": "
                    << d.largeShare;
  }
  std::printf("%zu frames; largest mean difference %.4f, largest share off by more than %d: %.5f\n",
              frames.size(), worst.mean, kLargeDifference, worst.largeShare);
  // The sound is mixed by the same code from the same data.
  if (fs::exists(native + "/audio.wav")) {
    const std::vector<std::int16_t> a = ReadWav(native + "/audio.wav");
    const std::vector<std::int16_t> b = ReadWav(web + "/audio.wav");
    ASSERT_EQ(b.size(), a.size());
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    EXPECT_LE(largest, kSampleDifference) << "sound: largest sample difference";
    std::printf("%zu samples; largest difference %d, native peak %d\n", a.size(), largest,
                Peak(a));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shows, WebCapture,
    ::testing::Values(WebShow{"images_picture", "10", "2", ""}, WebShow{"images_colour", "10", "2", ""},
                      WebShow{"images_blend", "10", "2", ""}, WebShow{"images_fade", "10", "2", ""},
                      WebShow{"images_move", "10", "2", ""}, WebShow{"images_order", "10", "2", ""},
                      WebShow{"images_sequence", "10", "3", ""}, WebShow{"images_sizes", "10", "1", ""},
                      WebShow{"images_free", "10", "1", ""},
                      // Music, then the 3D scene with its glow and sprites.
                      WebShow{"sample", "10", "1", "2"},
                      WebShow{"sample", "10", "2", "30", kGlowingScene}),
    [](const ::testing::TestParamInfo<WebShow>& info) {
      return info.param.name + "_" + std::to_string(info.index);
    });

}  // namespace
