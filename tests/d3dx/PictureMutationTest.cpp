// Every byte of small pictures of each kind, overwritten in turn: decoding either
// fails or yields a picture whose buffer matches its size (the sanitizer build
// catches any read or write out of bounds on the way).
#include <gtest/gtest.h>
#include <png.h>

#include "TestPictures.h"
#include "platform/d3dx/PictureFile.h"

namespace {

Bytes Pattern(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
  return bytes;
}

void MutateEveryByte(const Bytes& original) {
  for (std::size_t at = 0; at < original.size(); ++at) {
    for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF},
                               static_cast<std::uint8_t>(original[at] ^ 0x81)}) {
      Bytes file = original;
      file[at] = value;
      d3dx::PictureHeader header;
      const bool headerOk = d3dx::ReadPictureHeader(file.data(), file.size(), &header);
      d3dx::Picture picture;
      if (d3dx::DecodePicture(file.data(), file.size(), &picture)) {
        EXPECT_TRUE(headerOk);
        EXPECT_GE(picture.channels, 1u);
        EXPECT_LE(picture.channels, 4u);
        EXPECT_EQ(picture.pixels.size(),
                  std::size_t{picture.width} * picture.height * picture.channels)
            << "byte " << at << " set to " << int(value);
      }
    }
  }
}

TEST(MutatedPictures, PngNeverMisbehaves) {
  PngSpec rgb;
  rgb.width = 6;
  rgb.height = 5;
  rgb.colorType = PNG_COLOR_TYPE_RGB;
  rgb.rows = Pattern(6 * 5 * 3);
  MutateEveryByte(MakePng(rgb));
  rgb.interlaced = true;
  MutateEveryByte(MakePng(rgb));

  PngSpec palette;
  palette.width = 5;
  palette.height = 3;
  palette.colorType = PNG_COLOR_TYPE_PALETTE;
  palette.palette = Pattern(4 * 3);
  palette.transparency = {0, 99};
  palette.rows = {0, 1, 2, 3, 0, 3, 3, 2, 1, 0, 1, 1, 1, 1, 1};
  MutateEveryByte(MakePng(palette));
}

TEST(MutatedPictures, JpegNeverMisbehaves) {
  MutateEveryByte(MakeJpeg(16, 8, false, Pattern(16 * 8 * 3), 80));
  MutateEveryByte(MakeJpeg(8, 8, true, Pattern(8 * 8), 80));
}

TEST(MutatedPictures, BmpAndTgaNeverMisbehave) {
  MutateEveryByte(MakeBmp(5, 3, 24, Pattern(5 * 3 * 3), {}, false));
  MutateEveryByte(MakeBmp(3, 3, 8, {0, 1, 2, 2, 1, 0, 1, 1, 1}, Pattern(3 * 3), true));
  MutateEveryByte(MakeBmp(2, 2, 32, Pattern(2 * 2 * 4), {}, false));
  MutateEveryByte(MakeTga(4, 3, 2, 24, Pattern(4 * 3 * 3), false));
  MutateEveryByte(MakeTga(4, 3, 3, 8, Pattern(4 * 3), true));
  const Bytes runLength = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 32, 0x28,
                           0x83, 1, 2, 3, 4, 0x03, 5, 6, 7, 8, 9, 10, 11, 12,
                           13, 14, 15, 16, 17, 18, 19, 20};
  MutateEveryByte(runLength);
  // Colour-mapped, 16-bit map entries.
  const Bytes mapped = {0, 1, 1, 0, 0, 2, 0, 16, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0,
                        0x1F, 0x00, 0xE0, 0x03, 1, 0};
  MutateEveryByte(mapped);
}

}  // namespace
