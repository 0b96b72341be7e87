// Capture runs of the image and layer test shows under tests/data/, and the
// captured frames read back as 8-bit RGB for exact pixel checks.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempDir.h"

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c);

// True when every channel is within `tolerance` of the expected one.
bool Near(const Rgb& actual, const Rgb& expected, int tolerance);

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};

// Checks one pixel of a captured frame and names its place when it differs.
#define EXPECT_PIXEL(picture, x, y, expected, tolerance)                                   \
  EXPECT_PRED3(Near, (picture).at(x, y), expected, tolerance) << "at (" << (x) << ", " << (y) \
                                                               << ")"

// A PNG file (8-bit RGB or RGBA) read whole; empty when it cannot be read.
class PngPicture {
 public:
  explicit PngPicture(const std::string& path);
  bool valid() const { return width > 0; }
  Rgb at(int x, int y) const;
  int alpha(int x, int y) const;

  int width = 0, height = 0;

 private:
  std::vector<std::uint8_t> rgba;
};

// One capture run of `showFolder` (a folder under tests/data) at `fps`.
class ShowCapture {
 public:
  ShowCapture(const std::string& showFolder, int fps);
  // For a show written by the test itself.
  ShowCapture(const TempDir& show, int fps);

  const ProcessResult& result() const { return result_; }
  int frameCount() const;
  PngPicture frame(int n) const;

 private:
  void run(const std::string& folder, int fps);
  TempDir out_;
  ProcessResult result_;
};

std::string TestDataFolder(const std::string& name);
