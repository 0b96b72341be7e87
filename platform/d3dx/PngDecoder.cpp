#include "platform/d3dx/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace d3dx {
namespace {

// Deflate cannot expand beyond about 1032:1, so a header asking for more raw bytes
// than that from the data at hand is lying.
constexpr std::uint64_t kMaxInflateRatio = 1100;

struct MemoryInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->size - input->position) {
    png_error(png, "truncated");
  }
  std::memcpy(out, input->data + input->position, count);
  input->position += count;
}

// libpng may not return from its error handler; jump back to the setjmp of the
// function that made the failing call, without printing anything.
void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Owns the libpng read structures.
class PngReader {
 public:
  PngReader(const std::uint8_t* data, std::size_t size) : input_{data, size, 0} {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png_) {
      info_ = png_create_info_struct(png_);
    }
    if (png_ && info_) {
      png_set_read_fn(png_, &input_, ReadFromMemory);
      png_set_user_limits(png_, kMaxPictureSide, kMaxPictureSide);
    }
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool valid() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }
  std::size_t dataSize() const { return input_.size; }

 private:
  MemoryInput input_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// Each function below holds a setjmp and only trivially destructible locals, so a
// longjmp out of libpng skips no destructor.
bool ReadInfo(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  png_read_info(png, info);
  return true;
}

bool SetUpExpansion(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_palette_to_rgb(png);
  }
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
  }
  if (bitDepth == 16) {
    png_set_scale_16(png);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

PictureLayout LayoutOf(png_structp png, png_infop info) {
  const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  switch (png_get_color_type(png, info)) {
    case PNG_COLOR_TYPE_GRAY:
      return transparency ? PictureLayout::GreyAlpha : PictureLayout::Grey;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return PictureLayout::GreyAlpha;
    case PNG_COLOR_TYPE_PALETTE:
      return PictureLayout::Palette;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return PictureLayout::Rgba;
    default:
      return transparency ? PictureLayout::Rgba : PictureLayout::Rgb;
  }
}

// Header read plus the size checks shared by both entry points.
bool ReadCheckedInfo(const PngReader& reader) {
  if (!reader.valid() || !ReadInfo(reader.png(), reader.info())) {
    return false;
  }
  const png_uint_32 width = png_get_image_width(reader.png(), reader.info());
  const png_uint_32 height = png_get_image_height(reader.png(), reader.info());
  if (!PictureSizeAcceptable(width, height)) {
    return false;
  }
  const std::uint64_t rawBytes =
      static_cast<std::uint64_t>(height) * (png_get_rowbytes(reader.png(), reader.info()) + 1);
  return rawBytes <= kMaxInflateRatio * reader.dataSize() + 65536;
}

}  // namespace

bool IsPngData(const std::uint8_t* data, std::size_t size) {
  return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

bool ReadPngHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header) {
  if (!IsPngData(data, size)) {
    return false;
  }
  PngReader reader(data, size);
  if (!ReadCheckedInfo(reader)) {
    return false;
  }
  header->width = png_get_image_width(reader.png(), reader.info());
  header->height = png_get_image_height(reader.png(), reader.info());
  header->layout = LayoutOf(reader.png(), reader.info());
  header->kind = PictureFileKind::Png;
  return true;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, Picture* picture) {
  if (!IsPngData(data, size)) {
    return false;
  }
  PngReader reader(data, size);
  if (!ReadCheckedInfo(reader) || !SetUpExpansion(reader.png(), reader.info())) {
    return false;
  }
  const std::uint32_t width = png_get_image_width(reader.png(), reader.info());
  const std::uint32_t height = png_get_image_height(reader.png(), reader.info());
  const std::uint32_t channels = png_get_channels(reader.png(), reader.info());
  const std::size_t rowBytes = png_get_rowbytes(reader.png(), reader.info());
  if (channels < 1 || channels > 4 || rowBytes != static_cast<std::size_t>(width) * channels) {
    return false;
  }
  std::vector<std::uint8_t> pixels(rowBytes * height);
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) {
    rows[y] = pixels.data() + rowBytes * y;
  }
  if (!ReadRows(reader.png(), rows.data())) {
    return false;
  }
  picture->width = width;
  picture->height = height;
  picture->channels = channels;
  picture->pixels = std::move(pixels);
  return true;
}

}  // namespace d3dx
