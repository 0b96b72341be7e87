// The web build holds every colour format as RGBA bytes: what each format's locked
// memory becomes on upload, rows and pitch included, and what a read-back turns into.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/d3d9/FormatInfo.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Uploads `height` rows of `width` pixels at `pitch` and returns the packed RGBA bytes.
Bytes Upload(D3DFORMAT format, const Bytes& locked, UINT pitch, UINT width, UINT height) {
  const FormatInfo* info = FindColorFormat(format);
  EXPECT_NE(info, nullptr);
  if (!info) return {};
  EXPECT_EQ(info->uploadFormat, static_cast<GLenum>(GL_RGBA));
  EXPECT_EQ(info->uploadType, static_cast<GLenum>(GL_UNSIGNED_BYTE));
  Bytes scratch;
  const GlUpload upload = PrepareUpload(*info, locked.data(), pitch, width, height, &scratch);
  EXPECT_EQ(upload.rowLength, static_cast<GLint>(width));
  const auto* data = static_cast<const std::uint8_t*>(upload.data);
  return Bytes(data, data + std::size_t{width} * height * 4);
}

TEST(WebFormatTable, ColourFormatsBecomeRgbaBytesRowByRow) {
  // Two rows of two pixels; the pitch leaves padding that must not be read as pixels.
  const Bytes argb = {0x10, 0x20, 0x30, 0x40, 0x11, 0x21, 0x31, 0x41, 0xEE, 0xEE,
                      0x12, 0x22, 0x32, 0x42, 0x13, 0x23, 0x33, 0x43, 0xEE, 0xEE};
  EXPECT_EQ(Upload(D3DFMT_A8R8G8B8, argb, 10, 2, 2),
            (Bytes{0x30, 0x20, 0x10, 0x40, 0x31, 0x21, 0x11, 0x41,
                   0x32, 0x22, 0x12, 0x42, 0x33, 0x23, 0x13, 0x43}));
  // X8: the unused byte samples as opaque.
  EXPECT_EQ(Upload(D3DFMT_X8R8G8B8, argb, 10, 2, 1),
            (Bytes{0x30, 0x20, 0x10, 0xFF, 0x31, 0x21, 0x11, 0xFF}));
  const Bytes l8 = {0x05, 0x06, 0x07, 0xEE, 0x08, 0x09, 0x0A, 0xEE};
  EXPECT_EQ(Upload(D3DFMT_L8, l8, 4, 3, 2),
            (Bytes{5, 5, 5, 255, 6, 6, 6, 255, 7, 7, 7, 255, 8, 8, 8, 255, 9, 9, 9, 255, 10, 10, 10, 255}));
  // A8L8 is a little-endian word: luminance low, alpha high.
  const Bytes a8l8 = {0x50, 0x80, 0x60, 0x90};
  EXPECT_EQ(Upload(D3DFMT_A8L8, a8l8, 4, 2, 1), (Bytes{0x50, 0x50, 0x50, 0x80, 0x60, 0x60, 0x60, 0x90}));
  const Bytes a8 = {0x7F, 0xEE, 0xEE, 0xEE, 0x01, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(Upload(D3DFMT_A8, a8, 4, 1, 2), (Bytes{0, 0, 0, 0x7F, 0, 0, 0, 0x01}));
}

TEST(WebFormatTable, ReadBackTurnsRgbaIntoLockedMemoryInPlace) {
  const FormatInfo* info = FindColorFormat(D3DFMT_A8R8G8B8);
  ASSERT_NE(info, nullptr);
  ASSERT_TRUE(info->renderable);
  // As glReadPixels leaves it: R, G, B, A, one pixel a row, rows 8 bytes apart.
  Bytes rows = {0x30, 0x20, 0x10, 0x40, 0xEE, 0xEE, 0xEE, 0xEE, 0x33, 0x23, 0x13, 0x43};
  FinishReadback(*info, rows.data(), 8, 1, 2);
  EXPECT_EQ(rows, (Bytes{0x10, 0x20, 0x30, 0x40, 0xEE, 0xEE, 0xEE, 0xEE, 0x13, 0x23, 0x33, 0x43}));
}

TEST(WebFormatTable, OnlyTheBgraFormatsRenderAndDepthFormatsAreShared) {
  for (D3DFORMAT format : {D3DFMT_L8, D3DFMT_A8L8, D3DFMT_A8})
    EXPECT_FALSE(FindColorFormat(format)->renderable) << format;
  EXPECT_EQ(FindColorFormat(D3DFMT_R5G6B5), nullptr);
  ASSERT_NE(FindDepthFormat(D3DFMT_D24S8), nullptr);
  EXPECT_TRUE(FindDepthFormat(D3DFMT_D24S8)->stencil);
}

}  // namespace
