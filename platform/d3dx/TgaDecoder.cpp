#include "platform/d3dx/TgaDecoder.h"

#include "platform/d3dx/StbImage.h"
#include "platform/os/LittleEndian.h"

namespace d3dx {
namespace {

constexpr std::size_t kHeaderSize = 18;

enum TgaImageType : std::uint8_t {
  kColorMapped = 1,
  kTrueColor = 2,
  kGrey = 3,
  kColorMappedRle = 9,
  kTrueColorRle = 10,
  kGreyRle = 11,
};

struct TgaFields {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint8_t type = 0;
  std::size_t pixelDataOffset = 0;
};

bool ValidDepth(std::uint8_t type, std::uint32_t bpp, std::uint32_t mapBits) {
  switch (type & 7) {
    case kColorMapped:
      return (bpp == 8 || bpp == 16) &&
             (mapBits == 8 || mapBits == 15 || mapBits == 16 || mapBits == 24 || mapBits == 32);
    case kTrueColor:
      return bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32;
    case kGrey:
      return bpp == 8 || bpp == 16;
    default:
      return false;
  }
}

// Every run-length packet must be present and whole for all the picture's pixels.
bool RunLengthDataComplete(const std::uint8_t* data, std::size_t size, std::size_t pos,
                           std::uint64_t pixels, std::uint32_t bytesPerPixel) {
  while (pixels > 0) {
    if (pos >= size) {
      return false;
    }
    const std::uint8_t packet = data[pos++];
    const std::uint64_t count = (packet & 0x7F) + 1u;
    const std::uint64_t bytes = (packet & 0x80) ? bytesPerPixel : count * bytesPerPixel;
    if (bytes > size - pos) {
      return false;
    }
    pos += bytes;
    pixels -= count < pixels ? count : pixels;
  }
  return true;
}

bool ParseTga(const std::uint8_t* data, std::size_t size, TgaFields* fields) {
  if (size < kHeaderSize) {
    return false;
  }
  LittleEndianReader header(data, size);
  const std::uint32_t idLength = data[0];
  const std::uint8_t mapType = data[1];
  const std::uint8_t type = data[2];
  const std::uint32_t mapLength = header.U16At(5);
  const std::uint32_t mapBits = data[7];
  const bool mapped = (type & 7) == kColorMapped;
  if (type != kColorMapped && type != kTrueColor && type != kGrey && type != kColorMappedRle &&
      type != kTrueColorRle && type != kGreyRle) {
    return false;
  }
  // A colour map goes with colour-mapped pictures only, as stb_image requires.
  // stb_image takes the first-entry field for bytes to skip, so only maps that
  // start at entry 0 decode correctly.
  if (mapType > 1 || mapped != (mapType == 1) || (mapped && mapLength == 0) ||
      (mapped && header.U16At(3) != 0)) {
    return false;
  }
  fields->type = type;
  fields->width = header.U16At(12);
  fields->height = header.U16At(14);
  fields->bitsPerPixel = data[16];
  if (!ValidDepth(type, fields->bitsPerPixel, mapBits) ||
      !PictureSizeAcceptable(fields->width, fields->height)) {
    return false;
  }
  const std::uint64_t mapBytes = mapType == 1 ? mapLength * ((mapBits + 7) / 8) : 0;
  const std::uint64_t offset = kHeaderSize + idLength + mapBytes;
  if (offset > size) {
    return false;
  }
  fields->pixelDataOffset = static_cast<std::size_t>(offset);
  const std::uint32_t bytesPerPixel = (fields->bitsPerPixel + 7) / 8;
  const std::uint64_t pixels = static_cast<std::uint64_t>(fields->width) * fields->height;
  if (type & 8) {
    return RunLengthDataComplete(data, size, fields->pixelDataOffset, pixels, bytesPerPixel);
  }
  return pixels * bytesPerPixel <= size - fields->pixelDataOffset;
}

}  // namespace

bool ReadTgaHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header) {
  TgaFields fields;
  if (!ParseTga(data, size, &fields)) {
    return false;
  }
  header->width = fields.width;
  header->height = fields.height;
  switch (fields.type & 7) {
    case kColorMapped:
      header->layout = PictureLayout::Palette;
      break;
    case kGrey:
      header->layout = fields.bitsPerPixel == 16 ? PictureLayout::GreyAlpha : PictureLayout::Grey;
      break;
    default:
      header->layout = fields.bitsPerPixel == 32 ? PictureLayout::Rgba : PictureLayout::Rgb;
      break;
  }
  header->kind = PictureFileKind::Tga;
  return true;
}

bool DecodeTga(const std::uint8_t* data, std::size_t size, Picture* picture) {
  TgaFields fields;
  Picture decoded;
  if (!ParseTga(data, size, &fields) || !DecodeWithStbImage(data, size, &decoded) ||
      decoded.width != fields.width || decoded.height != fields.height) {
    return false;
  }
  *picture = std::move(decoded);
  return true;
}

}  // namespace d3dx
