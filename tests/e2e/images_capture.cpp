#include "e2e/images_capture.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool Near(const Rgb& actual, const Rgb& expected, int tolerance) {
  return std::abs(actual.r - expected.r) <= tolerance &&
         std::abs(actual.g - expected.g) <= tolerance &&
         std::abs(actual.b - expected.b) <= tolerance;
}

PngPicture::PngPicture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return;
  image.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    rgba.clear();
    return;
  }
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
}

Rgb PngPicture::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
  const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
  return {p[0], p[1], p[2]};
}

int PngPicture::alpha(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return -1;
  return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3];
}

std::string TestDataFolder(const std::string& name) {
  return std::string(SHOW_SOURCE_DIR) + "/tests/data/" + name;
}

ShowCapture::ShowCapture(const std::string& showFolder, int fps) {
  run(TestDataFolder(showFolder), fps);
}

ShowCapture::ShowCapture(const TempDir& show, int fps) { run(show.path(), fps); }

void ShowCapture::run(const std::string& folder, int fps) {
  result_ = RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", out_.file("frames"), "--frames", "png", "--fps",
                                       std::to_string(fps), "--data", folder});
}

int ShowCapture::frameCount() const {
  int n = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(out_.file("frames"), error))
    if (entry.path().filename().string().rfind("frame-", 0) == 0) ++n;
  return n;
}

PngPicture ShowCapture::frame(int n) const {
  char name[32];
  std::snprintf(name, sizeof name, "frames/frame-%06d.png", n);
  return PngPicture(out_.file(name));
}
