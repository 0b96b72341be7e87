#include "platform/d3dx/BmpDecoder.h"

#include <cstdlib>

#include "platform/d3dx/StbImage.h"
#include "platform/os/LittleEndian.h"

namespace d3dx {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

struct BmpFields {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;
  bool hasAlphaMask = false;
};

bool ParseBmp(const std::uint8_t* data, std::size_t size, BmpFields* fields) {
  if (!IsBmpData(data, size) || size < kFileHeaderSize + 16) {
    return false;
  }
  LittleEndianReader file(data, size);
  LittleEndianReader info(data + kFileHeaderSize, size - kFileHeaderSize);
  const std::uint32_t pixelOffset = file.U32At(10);
  const std::uint32_t infoSize = file.U32At(14);
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t compression = kCompressionNone;
  if (infoSize == 12) {
    width = info.U16At(4);
    height = info.U16At(6);
    fields->bitsPerPixel = info.U16At(10);
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
             infoSize == 124) {
    if (size < kFileHeaderSize + infoSize) {
      return false;
    }
    width = static_cast<std::int32_t>(info.U32At(4));
    height = static_cast<std::int32_t>(info.U32At(8));
    fields->bitsPerPixel = info.U16At(14);
    compression = info.U32At(16);
    // Headers of 56 bytes and more carry an alpha mask right after the colour masks.
    fields->hasAlphaMask = infoSize >= 56 && compression == kCompressionBitFields &&
                           info.U32At(52) != 0;
  } else {
    return false;
  }
  const std::uint32_t bpp = fields->bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    return false;
  }
  if (compression != kCompressionNone &&
      !(compression == kCompressionBitFields && (bpp == 16 || bpp == 32))) {
    return false;
  }
  height = std::llabs(height);  // negative: rows stored top-down
  if (width <= 0 || !PictureSizeAcceptable(static_cast<std::uint64_t>(width),
                                           static_cast<std::uint64_t>(height))) {
    return false;
  }
  fields->width = static_cast<std::uint32_t>(width);
  fields->height = static_cast<std::uint32_t>(height);
  // Every row but the last padded to four bytes; some writers drop the last padding.
  const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * bpp;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  const std::uint64_t pixelBytes = stride * (fields->height - 1) + (rowBits + 7) / 8;
  return pixelOffset >= kFileHeaderSize + infoSize && pixelOffset <= size &&
         pixelBytes <= size - pixelOffset;
}

}  // namespace

bool IsBmpData(const std::uint8_t* data, std::size_t size) {
  return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

bool ReadBmpHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header) {
  BmpFields fields;
  if (!ParseBmp(data, size, &fields)) {
    return false;
  }
  header->width = fields.width;
  header->height = fields.height;
  if (fields.bitsPerPixel <= 8) {
    header->layout = PictureLayout::Palette;
  } else {
    header->layout = fields.hasAlphaMask ? PictureLayout::Rgba : PictureLayout::Rgb;
  }
  header->kind = PictureFileKind::Bmp;
  return true;
}

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Picture* picture) {
  BmpFields fields;
  Picture decoded;
  if (!ParseBmp(data, size, &fields) || !DecodeWithStbImage(data, size, &decoded) ||
      decoded.width != fields.width || decoded.height != fields.height) {
    return false;
  }
  *picture = std::move(decoded);
  return true;
}

}  // namespace d3dx
