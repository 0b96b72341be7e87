// Textures, surfaces and captures with a headless device: the calls the image
// blitter, the scene textures and capture runs make.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "TestPictures.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/d3dx/PictureFile.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"
#include "support/ComOut.h"
#include "support/DeviceReferences.h"
#include "support/HResult.h"
#include "support/HeadlessDevice.h"
#include "support/TempDir.h"

namespace {

class D3DXDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d_, nullptr);
    device_ = CreateHeadlessDevice(d3d_, 16, 16);
    ASSERT_NE(device_, nullptr);
  }
  void TearDown() override {
    D3D9SetCapsOverride(nullptr);
    EXPECT_TRUE(ReleaseToZero(device_, "Device"));
    EXPECT_TRUE(ReleaseToZero(d3d_, "Direct3D object"));
  }

  // Every choice left to the library, as the scene's texture cache asks.
  HRESULT CreateDefault(const Bytes& file, IDirect3DTexture9** texture, D3DPOOL pool,
                        D3DXIMAGE_INFO* info = nullptr, UINT size = 0, UINT levels = 0) {
    return D3DXCreateTextureFromFileInMemoryEx(
        device_, file.data(), static_cast<UINT>(file.size()), size, size, levels, 0,
        D3DFMT_UNKNOWN, pool, D3DX_DEFAULT, D3DX_DEFAULT, 0, info, nullptr, texture);
  }

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
};

std::vector<DWORD> ReadLevel(IDirect3DTexture9* texture, UINT level) {
  D3DSURFACE_DESC desc{};
  texture->GetLevelDesc(level, &desc);
  D3DLOCKED_RECT locked{};
  std::vector<DWORD> texels;
  if (FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) return texels;
  const UINT bytes = desc.Format == D3DFMT_L8 ? 1 : desc.Format == D3DFMT_A8L8 ? 2 : 4;
  for (UINT y = 0; y < desc.Height; ++y) {
    for (UINT x = 0; x < desc.Width; ++x) {
      DWORD texel = 0;
      std::memcpy(&texel, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * bytes,
                  bytes);
      texels.push_back(texel);
    }
  }
  texture->UnlockRect(level);
  return texels;
}

// 4 x 2 grey levels: 0 40 80 120 / 160 200 240 255.
Bytes GreyPng4x2(int colorType = PNG_COLOR_TYPE_GRAY) {
  PngSpec spec;
  spec.width = 4;
  spec.height = 2;
  spec.colorType = colorType;
  const Bytes levels = {0, 40, 80, 120, 160, 200, 240, 255};
  for (std::uint8_t v : levels) {
    spec.rows.push_back(v);
    if (colorType == PNG_COLOR_TYPE_RGB) {
      spec.rows.push_back(v);
      spec.rows.push_back(v);
    }
  }
  return MakePng(spec);
}

TEST_F(D3DXDevice, DefaultTextureHasTheFilesSizeFormatAndABoxFilteredChain) {
  ComOwner<IDirect3DTexture9> texture;
  D3DXIMAGE_INFO info{};
  ASSERT_HR(CreateDefault(GreyPng4x2(), Out(texture), D3DPOOL_MANAGED, &info));
  EXPECT_EQ(info.Format, D3DFMT_L8);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
  ASSERT_EQ(texture->GetLevelCount(), 3u);  // 4x2, 2x1, 1x1
  D3DSURFACE_DESC desc{};
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_L8);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(desc.Height, 2u);
  EXPECT_EQ(ReadLevel(texture.get(), 0), (std::vector<DWORD>{0, 40, 80, 120, 160, 200, 240, 255}));
  // (0 + 40 + 160 + 200) / 4 = 100; (80 + 120 + 240 + 255) / 4 = 173.75; their mean 137.
  EXPECT_EQ(ReadLevel(texture.get(), 1), (std::vector<DWORD>{100, 174}));
  EXPECT_EQ(ReadLevel(texture.get(), 2), (std::vector<DWORD>{137}));
}

TEST_F(D3DXDevice, FormatsFollowTheFileAndPalettesBecomeArgb) {
  PngSpec palette;
  palette.width = 2;
  palette.colorType = PNG_COLOR_TYPE_PALETTE;
  palette.palette = {255, 0, 0, 0, 0, 255};
  palette.transparency = {255, 64};
  palette.rows = {0, 1};
  ComOwner<IDirect3DTexture9> texture;
  D3DXIMAGE_INFO info{};
  ASSERT_HR(CreateDefault(MakePng(palette), Out(texture), D3DPOOL_MANAGED, &info));
  EXPECT_EQ(info.Format, D3DFMT_P8);
  D3DSURFACE_DESC desc{};
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(ReadLevel(texture.get(), 0), (std::vector<DWORD>{0xFFFF0000u, 0x400000FFu}));

  PngSpec greyAlpha;
  greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {90, 30};
  ASSERT_HR(CreateDefault(MakePng(greyAlpha), Out(texture), D3DPOOL_MANAGED));
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_A8L8);
  EXPECT_EQ(ReadLevel(texture.get(), 0), (std::vector<DWORD>{0x1E5Au}));

  ASSERT_HR(CreateDefault(GreyPng4x2(PNG_COLOR_TYPE_RGB), Out(texture), D3DPOOL_MANAGED));
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(ReadLevel(texture.get(), 0)[1], 0xFF282828u);
}

TEST_F(D3DXDevice, SizesAndLevelsFollowTheArgumentsAndTheCaps) {
  const Bytes file = MakeBmp(3, 5, 24, Bytes(3 * 5 * 3, 77), {}, false);
  ComOwner<IDirect3DTexture9> texture;
  D3DSURFACE_DESC desc{};
  ASSERT_HR(CreateDefault(file, Out(texture), D3DPOOL_MANAGED, nullptr, D3DX_DEFAULT));
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 4u);  // rounded up to powers of two
  EXPECT_EQ(desc.Height, 8u);
  EXPECT_EQ(texture->GetLevelCount(), 4u);
  EXPECT_EQ(ReadLevel(texture.get(), 3), (std::vector<DWORD>{0xFF4D4D4Du}));  // flat stays flat

  ASSERT_HR(CreateDefault(file, Out(texture), D3DPOOL_MANAGED, nullptr, 0, 2));
  EXPECT_EQ(texture->GetLevelCount(), 2u);
  texture->GetLevelDesc(1, &desc);
  EXPECT_EQ(desc.Width, 1u);
  EXPECT_EQ(desc.Height, 2u);

  // A device that wants powers of two gets them for a mipmapped texture, but a single
  // level may keep its size where the device allows that conditionally.
  D3DCAPS9 caps{};
  ASSERT_HR(device_->GetDeviceCaps(&caps));
  caps.TextureCaps |= D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
  D3D9SetCapsOverride(&caps);
  ASSERT_HR(CreateDefault(file, Out(texture), D3DPOOL_MANAGED));
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(desc.Height, 8u);
  ASSERT_HR(CreateDefault(file, Out(texture), D3DPOOL_MANAGED, nullptr, 0, 1));
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 3u);
  EXPECT_EQ(desc.Height, 5u);
}

TEST_F(D3DXDevice, DefaultPoolTextureDrawsThePicture) {
  PngSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.colorType = PNG_COLOR_TYPE_RGB;
  spec.rows = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  IDirect3DTexture9* texture = nullptr;
  ASSERT_HR(CreateDefault(MakePng(spec), &texture, D3DPOOL_DEFAULT));

  struct Vertex {
    float x, y, z, rhw, u, v;
  };
  // Pre-transformed quad over the 16x16 target, pixel centres on integer coordinates.
  const Vertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0, 0}, {15.5f, -0.5f, 0.5f, 1, 1, 0},
                          {-0.5f, 15.5f, 0.5f, 1, 0, 1}, {15.5f, 15.5f, 0.5f, 1, 1, 1}};
  ASSERT_HR(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0));
  device_->BeginScene();
  device_->SetTexture(0, texture);
  device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  ASSERT_HR(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)));
  device_->EndScene();
  device_->SetTexture(0, nullptr);
  texture->Release();

  ComOwner<IDirect3DSurface9> backBuffer;
  ComOwner<IDirect3DSurface9> copy;
  ASSERT_HR(device_->GetRenderTarget(0, Out(backBuffer)));
  ASSERT_HR(device_->CreateOffscreenPlainSurface(16, 16, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                 Out(copy), nullptr));
  ASSERT_HR(device_->GetRenderTargetData(backBuffer.get(), copy.get()));
  D3DLOCKED_RECT locked{};
  ASSERT_HR(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
  auto pixel = [&](UINT x, UINT y) {
    DWORD p;
    std::memcpy(&p, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    return p & 0xFFFFFFu;
  };
  EXPECT_EQ(pixel(3, 3), 0xFF0000u);
  EXPECT_EQ(pixel(12, 3), 0x00FF00u);
  EXPECT_EQ(pixel(3, 12), 0x0000FFu);
  EXPECT_EQ(pixel(12, 12), 0xFFFF00u);
  copy->UnlockRect();
}

TEST_F(D3DXDevice, BadPicturesAndArgumentsCreateNothing) {
  Bytes damaged = GreyPng4x2();
  damaged.resize(damaged.size() / 2);
  IDirect3DTexture9* texture = nullptr;
  EXPECT_HR_EQ(D3DXERR_INVALIDDATA, CreateDefault(damaged, &texture, D3DPOOL_MANAGED));
  EXPECT_EQ(texture, nullptr);
  const Bytes file = GreyPng4x2();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               D3DXCreateTextureFromFileInMemoryEx(
                   device_, file.data(), static_cast<UINT>(file.size()), 0, 0, 0, 0, D3DFMT_UNKNOWN,
                   D3DPOOL_MANAGED, 0x77, D3DX_DEFAULT, 0, nullptr, nullptr, &texture));
  testing::internal::CaptureStderr();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               D3DXCreateTextureFromFileInMemoryEx(
                   device_, file.data(), static_cast<UINT>(file.size()), 0, 0, 0, 0, D3DFMT_DXT1,
                   D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("format"), std::string::npos);
  EXPECT_EQ(texture, nullptr);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               D3DXCreateTextureFromFileInMemory(device_, file.data(), 0, &texture));
}

TEST_F(D3DXDevice, PictureLoadsIntoASystemMemorySurfaceOfItsFormat) {
  const Bytes file = GreyPng4x2(PNG_COLOR_TYPE_RGB);
  D3DXIMAGE_INFO info{};
  ASSERT_HR(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<UINT>(file.size()), &info));
  ComOwner<IDirect3DSurface9> surface;
  ASSERT_HR(device_->CreateOffscreenPlainSurface(info.Width, info.Height, info.Format,
                                                 D3DPOOL_SYSTEMMEM, Out(surface), nullptr));
  ASSERT_HR(D3DXLoadSurfaceFromFileInMemory(surface.get(), nullptr, nullptr, file.data(),
                                            static_cast<UINT>(file.size()), nullptr, D3DX_DEFAULT,
                                            0, nullptr));
  D3DLOCKED_RECT locked{};
  ASSERT_HR(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
  DWORD last = 0;
  std::memcpy(&last, static_cast<const BYTE*>(locked.pBits) + locked.Pitch + 12, 4);
  EXPECT_EQ(last, 0xFFFFFFFFu);
  surface->UnlockRect();
}

TEST_F(D3DXDevice, CapturedBackBufferSavesAsPng) {
  TempDir dir;
  ASSERT_HR(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699u, 1.0f, 0));
  IDirect3DSurface9* backBuffer = nullptr;
  IDirect3DSurface9* copy = nullptr;
  ASSERT_HR(device_->GetRenderTarget(0, &backBuffer));
  ASSERT_HR(device_->CreateOffscreenPlainSurface(16, 16, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                                 nullptr));
  ASSERT_HR(device_->GetRenderTargetData(backBuffer, copy));
  const std::string path = dir.file("frame0001.png");
  ASSERT_HR(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, copy, nullptr, nullptr));
  copy->Release();
  backBuffer->Release();

  std::ifstream in(path, std::ios::binary);
  const Bytes png{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  d3dx::Picture picture;
  ASSERT_TRUE(d3dx::DecodePicture(png.data(), png.size(), &picture));
  ASSERT_EQ(picture.channels, 3u);
  ASSERT_EQ(picture.width, 16u);
  EXPECT_EQ(picture.pixels[0], 0x33);
  EXPECT_EQ(picture.pixels[1], 0x66);
  EXPECT_EQ(picture.pixels[picture.pixels.size() - 1], 0x99);
}

}  // namespace
