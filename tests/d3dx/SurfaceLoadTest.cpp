// D3DXLoadSurfaceFromFileInMemory and D3DXSaveSurfaceToFileA on surfaces in plain
// memory: format conversion, rectangles, filters, colour key, failures.
#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <iterator>

#include "MemorySurface.h"
#include "TestPictures.h"
#include "platform/d3dx/ArgbImage.h"
#include "platform/d3dx/PictureFile.h"
#include "platform/d3dx/d3dx9.h"
#include "support/HResult.h"
#include "support/TempDir.h"

namespace {

Bytes RgbPng2x2() {
  PngSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.colorType = PNG_COLOR_TYPE_RGB;
  spec.rows = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
  return MakePng(spec);
}

HRESULT Load(MemorySurface* surface, const Bytes& file, const RECT* dest = nullptr,
             const RECT* source = nullptr, DWORD filter = D3DX_FILTER_NONE, D3DCOLOR key = 0,
             D3DXIMAGE_INFO* info = nullptr) {
  return D3DXLoadSurfaceFromFileInMemory(surface, nullptr, dest, file.data(),
                                         static_cast<UINT>(file.size()), source, filter, key,
                                         info);
}

TEST(SurfaceLoading, WholePictureIntoEachFormat) {
  const Bytes file = RgbPng2x2();
  MemorySurface argb(2, 2, D3DFMT_X8R8G8B8, 4);
  D3DXIMAGE_INFO info{};
  ASSERT_HR(Load(&argb, file, nullptr, nullptr, D3DX_DEFAULT, 0, &info));
  EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(info.Width, 2u);
  EXPECT_EQ(argb.pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(argb.pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(argb.pixel(0, 1), 0xFF0000FFu);
  EXPECT_EQ(argb.pixel(1, 1), 0xFF0A141Eu);
  EXPECT_TRUE(argb.padIntact());
  EXPECT_FALSE(argb.isLocked());

  // Rec. 709 luminance: red 54, green 182, blue 18, (10, 20, 30) 19.
  MemorySurface grey(2, 2, D3DFMT_L8, 1);
  ASSERT_HR(Load(&grey, file));
  EXPECT_EQ(grey.pixel(0, 0), 54u);
  EXPECT_EQ(grey.pixel(1, 0), 182u);
  EXPECT_EQ(grey.pixel(0, 1), 18u);
  EXPECT_EQ(grey.pixel(1, 1), 19u);

  PngSpec greyAlpha;
  greyAlpha.width = 2;
  greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {200, 100, 7, 0};
  MemorySurface luminanceAlpha(2, 1, D3DFMT_A8L8, 2);
  ASSERT_HR(Load(&luminanceAlpha, MakePng(greyAlpha)));
  EXPECT_EQ(luminanceAlpha.pixel(0, 0), 0x64C8u);
  EXPECT_EQ(luminanceAlpha.pixel(1, 0), 0x0007u);
  MemorySurface greyAsColour(2, 1, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&greyAsColour, MakePng(greyAlpha)));
  EXPECT_EQ(greyAsColour.pixel(0, 0), 0x64C8C8C8u);
}

TEST(SurfaceLoading, AlphaKeptOrDroppedAndPalettesLoad) {
  PngSpec rgba;
  rgba.width = 2;
  rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  rgba.rows = {1, 2, 3, 0, 4, 5, 6, 128};
  const Bytes file = MakePng(rgba);
  MemorySurface withAlpha(2, 1, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&withAlpha, file));
  EXPECT_EQ(withAlpha.pixel(0, 0), 0x00010203u);
  EXPECT_EQ(withAlpha.pixel(1, 0), 0x80040506u);
  MemorySurface opaque(2, 1, D3DFMT_X8R8G8B8, 4);
  ASSERT_HR(Load(&opaque, file));
  EXPECT_EQ(opaque.pixel(0, 0), 0xFF010203u);

  PngSpec palette;
  palette.width = 2;
  palette.colorType = PNG_COLOR_TYPE_PALETTE;
  palette.palette = {9, 8, 7, 6, 5, 4};
  palette.rows = {1, 0};
  D3DXIMAGE_INFO info{};
  MemorySurface fromPalette(2, 1, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&fromPalette, MakePng(palette), nullptr, nullptr, D3DX_FILTER_NONE, 0, &info));
  EXPECT_EQ(info.Format, D3DFMT_P8);
  EXPECT_EQ(fromPalette.pixel(0, 0), 0xFF060504u);
  EXPECT_EQ(fromPalette.pixel(1, 0), 0xFF090807u);
}

TEST(SurfaceLoading, JpegBmpAndTgaLoadToo) {
  Bytes flat(8 * 8 * 3);
  for (std::size_t i = 0; i < flat.size(); i += 3) {
    flat[i] = 200;
    flat[i + 1] = 100;
    flat[i + 2] = 50;
  }
  MemorySurface jpeg(8, 8, D3DFMT_X8R8G8B8, 4);
  ASSERT_HR(Load(&jpeg, MakeJpeg(8, 8, false, flat, 95)));
  const DWORD p = jpeg.pixel(3, 5);
  EXPECT_EQ(p >> 24, 0xFFu);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 200, 3);
  EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 100, 3);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 50, 3);

  MemorySurface bmp(2, 1, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&bmp, MakeBmp(2, 1, 24, {1, 2, 3, 4, 5, 6}, {}, false)));
  EXPECT_EQ(bmp.pixel(1, 0), 0xFF040506u);
  MemorySurface tga(1, 2, D3DFMT_L8, 1);
  ASSERT_HR(Load(&tga, MakeTga(1, 2, 3, 8, {33, 44}, false)));
  EXPECT_EQ(tga.pixel(0, 1), 44u);
}

TEST(SurfaceLoading, RectanglesPlaceAPartOfThePicture) {
  MemorySurface surface(4, 3, D3DFMT_A8R8G8B8, 4);
  const RECT source{1, 0, 2, 2};  // the right column: green over (10, 20, 30)
  const RECT dest{2, 1, 3, 3};
  ASSERT_HR(Load(&surface, RgbPng2x2(), &dest, &source));
  EXPECT_EQ(surface.pixel(2, 1), 0xFF00FF00u);
  EXPECT_EQ(surface.pixel(2, 2), 0xFF0A141Eu);
  EXPECT_EQ(surface.pixel(1, 1), 0xCDCDCDCDu);  // outside the rectangle: untouched
  EXPECT_EQ(surface.pixel(3, 2), 0xCDCDCDCDu);
  EXPECT_EQ(surface.pixel(2, 0), 0xCDCDCDCDu);
  EXPECT_TRUE(surface.padIntact());

  const RECT outside{1, 1, 3, 2};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, Load(&surface, RgbPng2x2(), nullptr, &outside));
  const RECT empty{2, 1, 2, 3};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, Load(&surface, RgbPng2x2(), &empty));
}

TEST(SurfaceLoading, FiltersScaleAndTheColourKeyClears) {
  const Bytes file = RgbPng2x2();
  MemorySurface point(4, 4, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&point, file, nullptr, nullptr, D3DX_FILTER_POINT));
  EXPECT_EQ(point.pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(point.pixel(2, 1), 0xFF00FF00u);
  EXPECT_EQ(point.pixel(3, 3), 0xFF0A141Eu);

  MemorySurface none(3, 3, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&none, file, nullptr, nullptr, D3DX_FILTER_NONE));
  EXPECT_EQ(none.pixel(1, 1), 0xFF0A141Eu);
  EXPECT_EQ(none.pixel(2, 0), 0u);  // beyond the picture: transparent black
  EXPECT_EQ(none.pixel(0, 2), 0u);

  MemorySurface box(1, 1, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&box, file, nullptr, nullptr, D3DX_FILTER_BOX | D3DX_FILTER_DITHER));
  // Means of (255, 0, 0, 10), (0, 255, 0, 20), (0, 0, 255, 30), rounded.
  EXPECT_EQ(box.pixel(0, 0), 0xFF424547u);  // (265, 275, 285) / 4

  MemorySurface keyed(2, 2, D3DFMT_A8R8G8B8, 4);
  ASSERT_HR(Load(&keyed, file, nullptr, nullptr, D3DX_FILTER_NONE, 0xFF00FF00u));
  EXPECT_EQ(keyed.pixel(1, 0), 0u);
  EXPECT_EQ(keyed.pixel(0, 0), 0xFFFF0000u);

  EXPECT_HR_EQ(D3DERR_INVALIDCALL, Load(&keyed, file, nullptr, nullptr, 6));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, Load(&keyed, file, nullptr, nullptr, 0));
}

TEST(SurfaceLoading, GrowingInterpolatesBetweenPixelCentres) {
  const d3dx::ArgbImage twoPixels{2, 1, {0xFF000000u, 0xFFFFFFFFu}};
  const d3dx::ArgbImage grown = d3dx::ScaleArgb(twoPixels, 4, 1, D3DX_FILTER_LINEAR);
  ASSERT_EQ(grown.pixels.size(), 4u);
  EXPECT_EQ(grown.pixels[0], 0xFF000000u);
  EXPECT_EQ(grown.pixels[1], 0xFF404040u);
  EXPECT_EQ(grown.pixels[2], 0xFFBFBFBFu);
  EXPECT_EQ(grown.pixels[3], 0xFFFFFFFFu);
}

TEST(SurfaceLoading, BadDataAndUnsupportedFormatsLeaveTheSurfaceAlone) {
  Bytes damaged = RgbPng2x2();
  damaged.resize(damaged.size() - 13);
  MemorySurface surface(2, 2, D3DFMT_A8R8G8B8, 4);
  EXPECT_HR_EQ(D3DXERR_INVALIDDATA, Load(&surface, damaged));
  EXPECT_EQ(surface.locks, 0);

  MemorySurface wide(2, 2, D3DFMT_R5G6B5, 2);
  testing::internal::CaptureStderr();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, Load(&wide, RgbPng2x2()));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("D3DXLoadSurfaceFromFileInMemory"),
            std::string::npos);
  EXPECT_EQ(wide.locks, 0);
  const Bytes file = RgbPng2x2();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               D3DXLoadSurfaceFromFileInMemory(nullptr, nullptr, nullptr, file.data(),
                                               static_cast<UINT>(file.size()), nullptr,
                                               D3DX_DEFAULT, 0, nullptr));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SurfaceSaving, WritesAnRgbPngOfTheSurface) {
  TempDir dir;
  MemorySurface frame(3, 2, D3DFMT_X8R8G8B8, 4);
  for (UINT y = 0; y < 2; ++y)
    for (UINT x = 0; x < 3; ++x) frame.setPixel(x, y, 0x00102030u + x * 0x010000u + y * 0x40u);
  const std::string path = dir.file("frame.png");
  ASSERT_HR(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, &frame, nullptr, nullptr));
  EXPECT_EQ(frame.lastFlags, D3DLOCK_READONLY);
  EXPECT_FALSE(frame.isLocked());

  const Bytes png = ReadFile(path);
  D3DXIMAGE_INFO info{};
  ASSERT_HR(D3DXGetImageInfoFromFileInMemory(png.data(), static_cast<UINT>(png.size()), &info));
  EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(info.Width, 3u);
  d3dx::Picture picture;
  ASSERT_TRUE(d3dx::DecodePicture(png.data(), png.size(), &picture));
  EXPECT_EQ(picture.pixels,
            (Bytes{0x10, 0x20, 0x30, 0x11, 0x20, 0x30, 0x12, 0x20, 0x30,  //
                   0x10, 0x20, 0x70, 0x11, 0x20, 0x70, 0x12, 0x20, 0x70}));

  const RECT corner{1, 1, 3, 2};
  ASSERT_HR(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, &frame, nullptr, &corner));
  const Bytes cropped = ReadFile(path);
  ASSERT_TRUE(d3dx::DecodePicture(cropped.data(), cropped.size(), &picture));
  EXPECT_EQ(picture.pixels, (Bytes{0x11, 0x20, 0x70, 0x12, 0x20, 0x70}));
}

TEST(SurfaceSaving, OtherFileFormatsAndUnwritablePathsFail) {
  TempDir dir;
  MemorySurface frame(2, 2, D3DFMT_A8R8G8B8, 4);
  testing::internal::CaptureStderr();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA(dir.file("f.bmp").c_str(), D3DXIFF_BMP,
                                                          &frame, nullptr, nullptr));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(FAILED(D3DXSaveSurfaceToFileA(dir.file("missing/f.png").c_str(), D3DXIFF_PNG,
                                            &frame, nullptr, nullptr)));
  EXPECT_FALSE(frame.isLocked());
}

}  // namespace
