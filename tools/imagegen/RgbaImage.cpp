#include "tools/imagegen/RgbaImage.h"

#include <png.h>
#include <turbojpeg.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

int Channels(PngKind kind) {
  switch (kind) {
    case PngKind::Grey: return 1;
    case PngKind::GreyAlpha: return 2;
    case PngKind::Rgb: return 3;
    case PngKind::Rgba: return 4;
    case PngKind::Palette: return 1;
  }
  return 4;
}

int ColorType(PngKind kind) {
  switch (kind) {
    case PngKind::Grey: return PNG_COLOR_TYPE_GRAY;
    case PngKind::GreyAlpha: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case PngKind::Rgb: return PNG_COLOR_TYPE_RGB;
    case PngKind::Rgba: return PNG_COLOR_TYPE_RGBA;
    case PngKind::Palette: return PNG_COLOR_TYPE_PALETTE;
  }
  return PNG_COLOR_TYPE_RGBA;
}

// Rows in the layout the PNG kind stores; a palette holds every distinct colour.
std::vector<std::uint8_t> PackRows(const RgbaImage& image, PngKind kind,
                                   std::vector<png_color>& palette) {
  std::vector<std::uint8_t> rows;
  std::map<std::uint32_t, std::uint8_t> index;
  for (const Rgba& p : image.pixels) {
    switch (kind) {
      case PngKind::Grey: rows.push_back(p.r); break;
      case PngKind::GreyAlpha: rows.insert(rows.end(), {p.r, p.a}); break;
      case PngKind::Rgb: rows.insert(rows.end(), {p.r, p.g, p.b}); break;
      case PngKind::Rgba: rows.insert(rows.end(), {p.r, p.g, p.b, p.a}); break;
      case PngKind::Palette: {
        const std::uint32_t key = static_cast<std::uint32_t>(p.r) << 16 | p.g << 8 | p.b;
        auto it = index.find(key);
        if (it == index.end()) {
          it = index.emplace(key, static_cast<std::uint8_t>(palette.size())).first;
          palette.push_back({p.r, p.g, p.b});
        }
        rows.push_back(it->second);
        break;
      }
    }
  }
  return rows;
}

}  // namespace

bool WritePng(const std::string& path, const RgbaImage& image, PngKind kind) {
  std::vector<png_color> palette;
  std::vector<std::uint8_t> rows = PackRows(image, kind, palette);
  if (palette.size() > 256) {
    std::fprintf(stderr, "imagegen: too many colours for a palette: %s\n", path.c_str());
    return false;
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fprintf(stderr, "imagegen: PNG error writing %s\n", path.c_str());
    return false;
  }
  png_init_io(png, file.get());
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, ColorType(kind), PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (kind == PngKind::Palette)
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_write_info(png, info);
  const std::size_t stride = static_cast<std::size_t>(image.width) * Channels(kind);
  for (int y = 0; y < image.height; ++y) png_write_row(png, rows.data() + y * stride);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool WriteJpeg(const std::string& path, const RgbaImage& image, int quality) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(image.pixels.size() * 3);
  for (const Rgba& p : image.pixels) rgb.insert(rgb.end(), {p.r, p.g, p.b});
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int failed = tjCompress2(handle, rgb.data(), image.width, 0, image.height, TJPF_RGB,
                                 &jpeg, &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
  tjDestroy(handle);
  bool ok = false;
  if (!failed) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    ok = file && std::fwrite(jpeg, 1, size, file.get()) == size;
  }
  tjFree(jpeg);
  if (!ok) std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
  return ok;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  const bool ok = file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  if (!ok) std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
  return ok;
}
