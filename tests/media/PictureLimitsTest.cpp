// Pictures at the edges of what the device and memory allow: a picture larger than
// the device's textures is shown scaled, a sequence keeps each distinct picture once
// and within its budget, and the fatal ends whose designed text names no file name
// it on standard error.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "media/ImageBlitter.h"
#include "media/SequencePictures.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/PngWriter.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"
#include "support/HeadlessDevice.h"
#include "support/TempDir.h"

namespace {

std::string Data(const std::string& path) {
  return std::string(SHOW_SOURCE_DIR) + "/tests/data/" + path;
}

// A width x height PNG whose columns left of `split` are red and the rest blue.
std::string WriteSplitPng(const TempDir& dir, const std::string& name, std::uint32_t width,
                          std::uint32_t height, std::uint32_t split) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3, 0);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      rgb[(static_cast<std::size_t>(y) * width + x) * 3 + (x < split ? 0 : 2)] = 0xFF;
  const std::string path = dir.file(name);
  EXPECT_TRUE(d3dx::WriteRgbPng(path.c_str(), width, height, rgb));
  return path;
}

// In a death test's child: every message box goes to standard error as
// "[caption|text]", so the test sees the exact text.
void ReportBoxesExactly() {
  OsSetMessageBoxHandler([](const OsMessageBoxRecord& box) {
    std::fprintf(stderr, "[%s|%s]\n", box.caption.c_str(), box.text.c_str());
    return IDOK;
  });
}

class PictureLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    device = CreateHeadlessDevice(direct3d, 1024, 768, D3DFMT_D24X8);
    ASSERT_NE(device, nullptr);
    D3DCAPS9 caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
    maxSide = caps.MaxTextureWidth;
  }
  void TearDown() override {
    if (device) device->Release();
    if (direct3d) direct3d->Release();
  }

  // The colour of back-buffer pixel (x, y) as 0xRRGGBB.
  DWORD Pixel(int x, int y) {
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    device->CreateOffscreenPlainSurface(1024, 768, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                        nullptr);
    device->GetRenderTargetData(back, copy);
    D3DLOCKED_RECT locked{};
    copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    DWORD value;
    std::memcpy(&value, static_cast<BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    copy->UnlockRect();
    copy->Release();
    back->Release();
    return value & 0xFFFFFF;
  }
  void Draw(ImageBlitter& image) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->BeginScene();
    image.draw(0);
    device->EndScene();
  }

  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  UINT maxSide = 0;
  TempDir dir;
};

TEST_F(PictureLimits, PictureWiderThanTheDeviceTakesIsShownScaledAtItsOwnSize) {
  ASSERT_EQ(maxSide, 4096u);
  const std::uint32_t width = maxSide + 904;  // 5000: the last 1000 columns blue
  const std::string path = WriteSplitPng(dir, "wide.png", width, 4, width - 1000);
  ::testing::internal::CaptureStderr();
  ImageBlitter wide(device, path.c_str(), 1024, 768, false, 0xFFFFFFFF);
  const std::string said = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(wide.drawable());
  EXPECT_NE(said.find("wide.png"), std::string::npos) << said;
  EXPECT_NE(said.find("scaled to 4096x4"), std::string::npos) << said;

  // The quad keeps the picture's size on screen and spans the whole texture.
  EXPECT_EQ(wide.width(), width);
  EXPECT_FLOAT_EQ(wide.quad()[2].x, static_cast<float>(width));
  EXPECT_FLOAT_EQ(wide.quad()[2].u, 1.0f);
  EXPECT_FLOAT_EQ(wide.quad()[1].v, 0.0f);

  wide.additive = false;
  Draw(wide);
  EXPECT_EQ(Pixel(10, 1), 0xFF0000u);
  wide.positionX = 1024.0f - static_cast<float>(width);  // its right end on screen
  Draw(wide);
  EXPECT_EQ(Pixel(1023 - 10, 1), 0x0000FFu);
  EXPECT_EQ(Pixel(1023 - 990, 1), 0x0000FFu);
  EXPECT_EQ(Pixel(1023 - 1010, 1), 0xFF0000u);
}

TEST_F(PictureLimits, OversizeFrameOfASequenceIsScaledToo) {
  const std::string tall = WriteSplitPng(dir, "tall.png", 2, maxSide + 1, 1);
  const std::string seq = dir.write("tall.seq", "0 " + tall + "\n");
  ::testing::internal::CaptureStderr();
  ImageBlitter sequence(device, seq.c_str(), 1024, 768, false, 0xFFFFFFFF);
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(sequence.drawable());
  EXPECT_EQ(sequence.height(), maxSide + 1);
  EXPECT_FLOAT_EQ(sequence.quad()[2].u, 1.0f);
  EXPECT_FLOAT_EQ(sequence.quad()[0].v, 1.0f);
}

TEST_F(PictureLimits, EveryFrameNamingOneFileSharesOneDecodedSurface) {
  const std::string red = Data("images_sequence/red.png");
  const std::string green = Data("images_sequence/green.png");
  SequencePictures pictures(device, "anim.seq");
  const PictureSurface first = pictures.take(red);
  ASSERT_NE(first.surface, nullptr);
  for (int i = 0; i < 400; ++i) {
    const PictureSurface again = pictures.take(red);
    ASSERT_EQ(again.surface.get(), first.surface.get()) << i;
  }
  const PictureSurface other = pictures.take(green);
  EXPECT_NE(other.surface.get(), first.surface.get());
  EXPECT_EQ(pictures.distinct(), 2u);
  EXPECT_EQ(pictures.keptBytes(), 2 * std::uint64_t{first.width} * first.height * 4);
}

TEST_F(PictureLimits, SharedSurfacesOutliveTheLoadAndAreReleasedWithTheLastFrame) {
  IDirect3DSurface9* raw = nullptr;
  {
    PictureSurface kept;
    {
      SequencePictures pictures(device, "anim.seq");
      kept = pictures.take(Data("images_sequence/red.png"));
      raw = kept.surface.get();
      raw->AddRef();
    }
    // The loader is gone; the frame's reference still holds the surface.
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(raw->GetDesc(&desc), D3D_OK);
  }
  EXPECT_EQ(raw->Release(), 0u);
}

TEST_F(PictureLimits, SequenceBeyondItsBudgetEndsNamingTheSequenceAndThePicture) {
  const std::string red = Data("images_sequence/red.png");
  const std::string green = Data("images_sequence/green.png");
  const std::string blue = Data("images_sequence/blue.png");
  std::uint64_t one = 0;
  {
    SequencePictures probe(device, "probe.seq");
    probe.take(red);
    one = probe.keptBytes();
  }
  ASSERT_GT(one, 0u);
  // Exactly two pictures fit, repeated as often as the sequence likes.
  SequencePictures two(device, "anim.seq", 2 * one);
  for (int i = 0; i < 10; ++i) {
    two.take(red);
    two.take(green);
  }
  EXPECT_EQ(two.keptBytes(), 2 * one);
  EXPECT_EXIT(
      {
        ReportBoxesExactly();
        SequencePictures three(device, "anim.seq", 2 * one);
        three.take(red);
        three.take(green);
        three.take(blue);
      },
      ::testing::ExitedWithCode(0),
      "Sequence 'anim.seq': [^\n]*more than [^\n]*blue.png[^\n]*\n"
      "Error: Image load failed: anim.seq\n\\[Error\\|Image load failed: anim.seq\\]");
}

// Address-space limits mean nothing under the sanitizers' shadow memory: the memory
// check is left out there.
#if defined(__SANITIZE_ADDRESS__)
#define SHOW_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SHOW_UNDER_ASAN 1
#endif
#endif

#ifndef SHOW_UNDER_ASAN
// Bytes of address space the process has now.
std::uint64_t AddressSpaceInUse() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmSize:") {
      std::uint64_t kb = 0;
      status >> kb;
      return kb * 1024;
    }
  }
  return 0;
}

TEST_F(PictureLimits, ABigPictureRepeated400TimesLoadsInTheMemoryOfOne) {
  const std::string big = WriteSplitPng(dir, "big.png", 2048, 2048, 1024);  // 16 MB decoded
  std::string text = "fps = 25\n";
  for (int i = 0; i < 400; ++i) text += big + "\n";
  const std::string seq = dir.write("big.seq", text);
  EXPECT_EXIT(
      {
        // 400 decoded copies would need 6.4 GB; one needs 16 MB.
        const std::uint64_t limit = AddressSpaceInUse() + (std::uint64_t{768} << 20);
        rlimit space{};
        space.rlim_cur = space.rlim_max = limit;
        if (setrlimit(RLIMIT_AS, &space) != 0) std::exit(3);
        ImageBlitter sequence(device, seq.c_str(), 1024, 768, false, 0xFFFFFFFF);
        std::exit(sequence.frameCount() == 400 && sequence.drawable() ? 0 : 2);
      },
      ::testing::ExitedWithCode(0), "");
}
#endif

TEST_F(PictureLimits, PictureTheDeviceRefusesIsNotDrawnAndSaysSo) {
  ::testing::internal::CaptureStderr();
  ImageBlitter palette(device, Data("images_formats/palette.png").c_str(), 1024, 768, false,
                       0xFFFFFFFF);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(palette.drawable());
  EXPECT_NE(said.find("images_formats/palette.png': the device takes no texture of format 41"),
            std::string::npos)
      << said;
}

TEST_F(PictureLimits, UnknownTextureFormatKeepsItsTextAndNamesTheFileOnStandardError) {
  EXPECT_EXIT(
      {
        ReportBoxesExactly();
        ImageBlitter(device, Data("images_formats/greyalpha.png").c_str(), 1024, 768, false,
                     0xFFFFFFFF);
      },
      ::testing::ExitedWithCode(0),
      "'[^'\n]*images_formats/greyalpha.png'[^\n]*\n"
      "Error: Unknown texture format\n\\[Error\\|Unknown texture format\\]\n");
}

}  // namespace
