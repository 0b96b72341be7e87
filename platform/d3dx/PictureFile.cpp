#include "platform/d3dx/PictureFile.h"

#include "platform/d3dx/BmpDecoder.h"
#include "platform/d3dx/JpegDecoder.h"
#include "platform/d3dx/PngDecoder.h"
#include "platform/d3dx/TgaDecoder.h"

namespace d3dx {

bool ReadPictureHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header) {
  if (!data || size == 0) {
    return false;
  }
  if (IsPngData(data, size)) {
    return ReadPngHeader(data, size, header);
  }
  if (IsJpegData(data, size)) {
    return ReadJpegHeader(data, size, header);
  }
  if (IsBmpData(data, size)) {
    return ReadBmpHeader(data, size, header);
  }
  return ReadTgaHeader(data, size, header);
}

bool DecodePicture(const std::uint8_t* data, std::size_t size, Picture* picture) {
  if (!data || size == 0) {
    return false;
  }
  if (IsPngData(data, size)) {
    return DecodePng(data, size, picture);
  }
  if (IsJpegData(data, size)) {
    return DecodeJpeg(data, size, picture);
  }
  if (IsBmpData(data, size)) {
    return DecodeBmp(data, size, picture);
  }
  return DecodeTga(data, size, picture);
}

}  // namespace d3dx
