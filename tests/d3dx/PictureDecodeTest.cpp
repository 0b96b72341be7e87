// Picture information and decoding for every supported file kind and colour type,
// and damaged or truncated files of each kind.
#include <gtest/gtest.h>
#include <png.h>

#include "TestPictures.h"
#include "platform/d3dx/PictureFile.h"
#include "platform/d3dx/d3dx9.h"
#include "support/HResult.h"

namespace {

D3DXIMAGE_INFO InfoOf(const Bytes& file) {
  D3DXIMAGE_INFO info{};
  EXPECT_HR(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<UINT>(file.size()), &info));
  return info;
}

d3dx::Picture Decode(const Bytes& file) {
  d3dx::Picture picture;
  EXPECT_TRUE(d3dx::DecodePicture(file.data(), file.size(), &picture));
  return picture;
}

// Every prefix of the file shorter than `needed` bytes must be refused by information
// or decoding.
void ExpectEveryTruncationFails(const Bytes& file, std::size_t needed = 0) {
  for (std::size_t length = 0; length < (needed ? needed : file.size()); ++length) {
    d3dx::Picture picture;
    d3dx::PictureHeader header;
    const bool headerOk = d3dx::ReadPictureHeader(file.data(), length, &header);
    EXPECT_FALSE(headerOk && d3dx::DecodePicture(file.data(), length, &picture))
        << "a file cut to " << length << " of " << file.size() << " bytes decoded";
  }
}

PngSpec RgbPng() {
  PngSpec spec;
  spec.width = 3;
  spec.height = 2;
  spec.colorType = PNG_COLOR_TYPE_RGB;
  spec.rows = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
  return spec;
}

TEST(PngPictures, ColourWithoutAlphaIsX8R8G8B8AndDecodesExactly) {
  const PngSpec spec = RgbPng();
  const Bytes file = MakePng(spec);
  const D3DXIMAGE_INFO info = InfoOf(file);
  EXPECT_EQ(info.Width, 3u);
  EXPECT_EQ(info.Height, 2u);
  EXPECT_EQ(info.Depth, 1u);
  EXPECT_EQ(info.MipLevels, 1u);
  EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
  const d3dx::Picture picture = Decode(file);
  EXPECT_EQ(picture.channels, 3u);
  EXPECT_EQ(picture.pixels, spec.rows);
}

TEST(PngPictures, ColourTypesGiveTheirFormatsAndSamples) {
  PngSpec rgba;
  rgba.width = 2;
  rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.rows = {1, 2, 3, 4, 250, 251, 252, 0};
  EXPECT_EQ(InfoOf(MakePng(rgba)).Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(Decode(MakePng(rgba)).pixels, rgba.rows);

  PngSpec grey;
  grey.width = 3;
  grey.colorType = PNG_COLOR_TYPE_GRAY;
  grey.rows = {0, 128, 255};
  EXPECT_EQ(InfoOf(MakePng(grey)).Format, D3DFMT_L8);
  EXPECT_EQ(Decode(MakePng(grey)).pixels, grey.rows);

  PngSpec greyAlpha;
  greyAlpha.width = 2;
  greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {9, 200, 77, 0};
  EXPECT_EQ(InfoOf(MakePng(greyAlpha)).Format, D3DFMT_A8L8);
  EXPECT_EQ(Decode(MakePng(greyAlpha)).pixels, greyAlpha.rows);
}

TEST(PngPictures, PaletteIsReportedP8AndExpandsWithItsTransparency) {
  PngSpec spec;
  spec.width = 4;
  spec.colorType = PNG_COLOR_TYPE_PALETTE;
  spec.bitDepth = 4;
  spec.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  spec.transparency = {128};
  spec.rows = {0x01, 0x20};  // indices 0, 1, 2, 0
  const Bytes file = MakePng(spec);
  EXPECT_EQ(InfoOf(file).Format, D3DFMT_P8);
  const d3dx::Picture picture = Decode(file);
  ASSERT_EQ(picture.channels, 4u);
  EXPECT_EQ(picture.pixels,
            (Bytes{255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 128}));
}

TEST(PngPictures, LowAndHighBitDepthsBecomeEightBits) {
  PngSpec oneBit;
  oneBit.width = 3;
  oneBit.colorType = PNG_COLOR_TYPE_GRAY;
  oneBit.bitDepth = 1;
  oneBit.rows = {0xA0};  // 1, 0, 1
  EXPECT_EQ(Decode(MakePng(oneBit)).pixels, (Bytes{255, 0, 255}));

  PngSpec deep;
  deep.width = 1;
  deep.colorType = PNG_COLOR_TYPE_RGB;
  deep.bitDepth = 16;
  deep.rows = {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x00};
  EXPECT_EQ(InfoOf(MakePng(deep)).Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(Decode(MakePng(deep)).pixels, (Bytes{255, 128, 0}));
}

TEST(PngPictures, TransparentGreyGainsAlphaAndInterlacingDecodesAlike) {
  PngSpec keyed;
  keyed.width = 2;
  keyed.colorType = PNG_COLOR_TYPE_GRAY;
  keyed.rows = {7, 8};
  keyed.transparentGrey = 7;
  EXPECT_EQ(InfoOf(MakePng(keyed)).Format, D3DFMT_A8L8);
  EXPECT_EQ(Decode(MakePng(keyed)).pixels, (Bytes{7, 0, 8, 255}));

  PngSpec plain;
  plain.width = 9;
  plain.height = 7;
  plain.colorType = PNG_COLOR_TYPE_RGB;
  for (std::uint32_t i = 0; i < 9 * 7 * 3; ++i) plain.rows.push_back(static_cast<std::uint8_t>(i * 7));
  PngSpec interlaced = plain;
  interlaced.interlaced = true;
  EXPECT_EQ(Decode(MakePng(interlaced)).pixels, plain.rows);
}

TEST(PngPictures, DamagedTruncatedAndLyingFilesFailCleanly) {
  const Bytes file = MakePng(RgbPng());
  ExpectEveryTruncationFails(file);

  Bytes corrupt = file;
  corrupt[corrupt.size() - 20] ^= 0x55;  // inside the image data: its checksum fails
  d3dx::Picture picture;
  EXPECT_FALSE(d3dx::DecodePicture(corrupt.data(), corrupt.size(), &picture));

  // A header claiming 4000 x 4000 pixels (under the size cap) over a few bytes of data.
  Bytes lying = file;
  for (std::size_t at : {16u, 20u}) {
    lying[at] = 0;
    lying[at + 1] = 0;
    lying[at + 2] = 0x0F;
    lying[at + 3] = 0xA0;
  }
  FixPngChunkCrc(&lying, 8);
  D3DXIMAGE_INFO info{};
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(lying.data(), static_cast<UINT>(lying.size()), &info),
            D3DXERR_INVALIDDATA);
  EXPECT_FALSE(d3dx::DecodePicture(lying.data(), lying.size(), &picture));
}

Bytes Gradient(std::uint32_t width, std::uint32_t height, std::uint32_t channels) {
  Bytes pixels;
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      for (std::uint32_t c = 0; c < channels; ++c)
        pixels.push_back(static_cast<std::uint8_t>(x * 8 + y * 4 + c * 60));
  return pixels;
}

TEST(JpegPictures, ColourAndGreyDecodeCloseToTheOriginal) {
  const Bytes colour = Gradient(16, 16, 3);
  const Bytes colourFile = MakeJpeg(16, 16, false, colour, 98);
  const D3DXIMAGE_INFO info = InfoOf(colourFile);
  EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
  EXPECT_EQ(info.Width, 16u);
  const d3dx::Picture decoded = Decode(colourFile);
  ASSERT_EQ(decoded.pixels.size(), colour.size());
  for (std::size_t i = 0; i < colour.size(); ++i) {
    EXPECT_NEAR(decoded.pixels[i], colour[i], 6) << "sample " << i;
  }

  const Bytes grey = Gradient(8, 8, 1);
  const Bytes greyFile = MakeJpeg(8, 8, true, grey, 98);
  EXPECT_EQ(InfoOf(greyFile).Format, D3DFMT_L8);
  const d3dx::Picture greyDecoded = Decode(greyFile);
  ASSERT_EQ(greyDecoded.channels, 1u);
  for (std::size_t i = 0; i < grey.size(); ++i) {
    EXPECT_NEAR(greyDecoded.pixels[i], grey[i], 4);
  }
}

TEST(JpegPictures, TruncatedOrDamagedStreamsFail) {
  const Bytes file = MakeJpeg(16, 16, false, Gradient(16, 16, 3), 90);
  ExpectEveryTruncationFails(file);

  // An end-of-image marker inside a metadata segment (as in an embedded thumbnail)
  // does not make a cut-off scan complete.
  Bytes withThumbnail(file.begin(), file.begin() + 2);
  const Bytes app1 = {0xFF, 0xE1, 0x00, 0x06, 0xFF, 0xD8, 0xFF, 0xD9};
  withThumbnail.insert(withThumbnail.end(), app1.begin(), app1.end());
  withThumbnail.insert(withThumbnail.end(), file.begin() + 2, file.end() - 40);
  d3dx::Picture picture;
  EXPECT_FALSE(d3dx::DecodePicture(withThumbnail.data(), withThumbnail.size(), &picture));

  // Start of frame: FF C0, length, precision, height, width.
  std::size_t frame = 2;
  while (frame + 9 < file.size() && !(file[frame] == 0xFF && file[frame + 1] == 0xC0)) ++frame;
  ASSERT_LT(frame + 9, file.size());
  Bytes emptyFrame = file;
  emptyFrame[frame + 7] = 0;
  emptyFrame[frame + 8] = 0;
  EXPECT_FALSE(d3dx::DecodePicture(emptyFrame.data(), emptyFrame.size(), &picture));

  Bytes lying = file;  // 4000 x 4000 pixels (under the size cap) from under a kilobyte
  for (std::size_t at : {frame + 5, frame + 7}) {
    lying[at] = 0x0F;
    lying[at + 1] = 0xA0;
  }
  D3DXIMAGE_INFO info{};
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(lying.data(), static_cast<UINT>(lying.size()), &info),
            D3DXERR_INVALIDDATA);
  EXPECT_FALSE(d3dx::DecodePicture(lying.data(), lying.size(), &picture));
}

TEST(BmpPictures, BitDepthsOrientationsAndPalettes) {
  const Bytes rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (bool topDown : {false, true}) {
    const Bytes file = MakeBmp(3, 2, 24, rgb, {}, topDown);  // rows padded to 12 bytes
    const D3DXIMAGE_INFO info = InfoOf(file);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(Decode(file).pixels, rgb) << "top-down " << topDown;
  }

  const Bytes indices = {2, 0, 1, 1};
  const Bytes palette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  const Bytes paletted = MakeBmp(2, 2, 8, indices, palette, false);
  EXPECT_EQ(InfoOf(paletted).Format, D3DFMT_P8);
  EXPECT_EQ(Decode(paletted).pixels, (Bytes{70, 80, 90, 10, 20, 30, 40, 50, 60, 40, 50, 60}));
}

TEST(BmpPictures, TruncatedCompressedAndOversizedFilesFail) {
  // Rows of 15 bytes padded to 16; writers that drop the last row's padding are read.
  const Bytes file = MakeBmp(5, 3, 24, Gradient(5, 3, 3), {}, false);
  ExpectEveryTruncationFails(file, file.size() - 1);
  d3dx::Picture unpadded;
  EXPECT_TRUE(d3dx::DecodePicture(file.data(), file.size() - 1, &unpadded));

  Bytes runLength = file;
  runLength[30] = 1;  // BI_RLE8
  d3dx::Picture picture;
  EXPECT_FALSE(d3dx::DecodePicture(runLength.data(), runLength.size(), &picture));

  Bytes huge = file;
  huge[20] = 0x01;  // width 65536 + 5
  D3DXIMAGE_INFO info{};
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(huge.data(), static_cast<UINT>(huge.size()), &info),
            D3DXERR_INVALIDDATA);
}

TEST(TgaPictures, ColourGreyAlphaAndOrientation) {
  const Bytes rgb = Gradient(3, 2, 3);
  const Bytes bottomUp = MakeTga(3, 2, 2, 24, rgb, false);
  EXPECT_EQ(InfoOf(bottomUp).Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(InfoOf(bottomUp).ImageFileFormat, D3DXIFF_TGA);
  EXPECT_EQ(Decode(bottomUp).pixels, rgb);

  const Bytes rgba = Gradient(2, 2, 4);
  const Bytes topDown = MakeTga(2, 2, 2, 32, rgba, true);
  EXPECT_EQ(InfoOf(topDown).Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(Decode(topDown).pixels, rgba);

  const Bytes grey = Gradient(4, 1, 1);
  const Bytes greyFile = MakeTga(4, 1, 3, 8, grey, false);
  EXPECT_EQ(InfoOf(greyFile).Format, D3DFMT_L8);
  EXPECT_EQ(Decode(greyFile).pixels, grey);
}

TEST(TgaPictures, RunLengthPacketsDecodeAndMissingPacketsFail) {
  // 4 x 1, type 10: a run of three blue pixels, then one raw red pixel (B, G, R stored).
  const Bytes file = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 1, 0, 24, 0x20,
                      0x82, 255, 0, 0, 0x00, 0, 0, 255};
  EXPECT_EQ(Decode(file).pixels, (Bytes{0, 0, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0}));
  ExpectEveryTruncationFails(file);
  ExpectEveryTruncationFails(MakeTga(3, 2, 2, 24, Gradient(3, 2, 3), false));
}

TEST(UnknownData, IsInvalidDataAndEmptyInputAnInvalidCall) {
  const Bytes junk = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  D3DXIMAGE_INFO info{};
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(junk.data(), static_cast<UINT>(junk.size()), &info),
            D3DXERR_INVALIDDATA);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, D3DXGetImageInfoFromFileInMemory(junk.data(), 0, &info));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, D3DXGetImageInfoFromFileInMemory(nullptr, 10, &info));
}

}  // namespace
