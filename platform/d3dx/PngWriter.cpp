#include "platform/d3dx/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace d3dx {
namespace {

constexpr int kCompressionLevel = 2;

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

class PngWriteStruct {
 public:
  PngWriteStruct() {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png_) {
      info_ = png_create_info_struct(png_);
    }
  }
  ~PngWriteStruct() { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
  PngWriteStruct(const PngWriteStruct&) = delete;
  PngWriteStruct& operator=(const PngWriteStruct&) = delete;
  bool valid() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Only trivially destructible locals, so a longjmp out of libpng skips no destructor.
bool WriteAll(png_structp png, png_infop info, std::FILE* file, std::uint32_t width,
              std::uint32_t height, const std::uint8_t* rgb) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, kCompressionLevel);
  // "Up" alone compresses rendered frames well at a fraction of adaptive filtering's cost.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_write_info(png, info);
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  for (std::uint32_t y = 0; y < height; ++y) {
    png_write_row(png, rgb + stride * y);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool WriteRgbPng(const char* path, std::uint32_t width, std::uint32_t height,
                 const std::vector<std::uint8_t>& rgb) {
  if (!path || width == 0 || height == 0 ||
      rgb.size() < static_cast<std::size_t>(width) * height * 3) {
    return false;
  }
  std::FILE* file = std::fopen(path, "wb");
  if (!file) {
    return false;
  }
  bool ok = false;
  {
    PngWriteStruct writer;
    ok = writer.valid() && WriteAll(writer.png(), writer.info(), file, width, height, rgb.data());
  }
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) {
    std::remove(path);
  }
  return ok;
}

}  // namespace d3dx
