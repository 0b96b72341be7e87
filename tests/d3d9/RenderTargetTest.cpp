// Render targets: textures and surfaces as targets, orientation when a target texture
// is drawn again, the viewport reset of SetRenderTarget, depth surfaces, read-back.
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"
#include "support/HResult.h"

TEST(RenderTarget, ATargetTextureKeepsItsTopOnTopWhenDrawnAgain) {
  TestDevice device(32, 32, D3DFMT_D24S8, D3DFMT_X8R8G8B8);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  ComOwner<IDirect3DTexture9> texture;
  ASSERT_HR(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                  D3DPOOL_DEFAULT, Out(texture), nullptr));
  ComOwner<IDirect3DSurface9> level;
  ComOwner<IDirect3DSurface9> back;
  texture->GetSurfaceLevel(0, Out(level));
  device->GetRenderTarget(0, Out(back));
  ASSERT_HR(device->SetRenderTarget(0, level.get()));
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  DrawColorQuad(device.device, -1, 0, 1, 1, 0xFFFF0000);  // upper half red
  DrawColorQuad(device.device, -1, -1, 0, 0, 0xFF00FF00);  // lower-left green
  // Read back directly: row 0 is the top.
  std::vector<DWORD> pixels = device.Read(level.get());
  EXPECT_TRUE(ColorNear(pixels[2 * 16 + 8], 0xff0000, 0));
  EXPECT_TRUE(ColorNear(pixels[12 * 16 + 3], 0x00ff00, 0));
  EXPECT_TRUE(ColorNear(pixels[12 * 16 + 12], 0x000000, 0));
  // Drawn onto the back buffer with v = 0 at the top, the picture is the same way up.
  device->SetRenderTarget(0, back.get());
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawTexQuad(device.device, 0, -1, 1, 1);  // right half of the back buffer
  EXPECT_TRUE(ColorNear(device.Pixel(24, 4), 0xff0000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(18, 28), 0x00ff00, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(28, 28), 0x000000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x0000ff, 0));
  device->SetTexture(0, nullptr);
}

TEST(RenderTarget, SetRenderTargetResetsTheViewportToTheTargetSize) {
  TestDevice device(64, 48);
  ASSERT_TRUE(device.ok());
  D3DVIEWPORT9 viewport{};
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 64u);
  EXPECT_EQ(viewport.Height, 48u);
  D3DVIEWPORT9 small{4, 4, 8, 8, 0.25f, 0.5f};
  ASSERT_HR(device->SetViewport(&small));
  ComOwner<IDirect3DSurface9> target;
  ASSERT_HR(device->CreateRenderTarget(20, 10, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                       Out(target), nullptr));
  ASSERT_HR(device->SetRenderTarget(0, target.get()));
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.X, 0u);
  EXPECT_EQ(viewport.Y, 0u);
  EXPECT_EQ(viewport.Width, 20u);
  EXPECT_EQ(viewport.Height, 10u);
  EXPECT_EQ(viewport.MinZ, 0.0f);
  EXPECT_EQ(viewport.MaxZ, 1.0f);
  D3DVIEWPORT9 tooBig{0, 0, 21, 10, 0, 1};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetViewport(&tooBig));
}

TEST(RenderTarget, DrawsLandInTheViewport) {
  TestDevice device(32, 32);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  D3DVIEWPORT9 viewport{16, 0, 16, 8, 0, 1};  // top-right strip
  device->SetViewport(&viewport);
  DrawFullScreenColor(device.device, 0xFFFFFFFF);
  EXPECT_TRUE(ColorNear(device.Pixel(16, 0), 0xffffff, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(31, 7), 0xffffff, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(15, 0), 0x000000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(16, 8), 0x000000, 0));
}

TEST(RenderTarget, DepthSurfacesCanBeSwappedAndRemoved) {
  TestDevice device(32, 32);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  ComOwner<IDirect3DSurface9> own;
  ASSERT_HR(device->CreateDepthStencilSurface(64, 64, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                              Out(own), nullptr));
  ComOwner<IDirect3DSurface9> automatic;
  device->GetDepthStencilSurface(Out(automatic));
  ASSERT_HR(device->SetDepthStencilSurface(own.get()));
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.5f, 0);
  DrawFullScreenColor(device.device, 0xFFFF0000, 0.7f);  // behind the cleared depth
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x000000, 0));
  ASSERT_HR(device->SetDepthStencilSurface(nullptr));
  DrawFullScreenColor(device.device, 0xFFFF0000, 0.7f);  // no depth: drawn
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xff0000, 0));
  device->SetDepthStencilSurface(automatic.get());
  IDirect3DSurface9* current = nullptr;
  device->GetDepthStencilSurface(&current);
  EXPECT_EQ(current, automatic.get());
  current->Release();
  // A depth surface smaller than the target is refused rather than clipping the draw.
  ComOwner<IDirect3DSurface9> small;
  device->CreateDepthStencilSurface(16, 16, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, Out(small),
                                    nullptr);
  device->SetDepthStencilSurface(small.get());
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
  device->SetDepthStencilSurface(automatic.get());
  EXPECT_HR(device->SetDepthStencilSurface(nullptr));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetRenderTarget(0, small.get()));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetRenderTarget(0, nullptr));
  device->SetDepthStencilSurface(automatic.get());
}

TEST(RenderTarget, LockableTargetsAndReadBackRules) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  ComOwner<IDirect3DSurface9> lockable;
  ASSERT_HR(device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                       Out(lockable), nullptr));
  device->SetRenderTarget(0, lockable.get());
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x11223344, 1.0f, 0);
  D3DLOCKED_RECT locked{};
  ASSERT_HR(lockable->LockRect(&locked, nullptr, 0));
  EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[0], 0x11223344u);
  static_cast<DWORD*>(locked.pBits)[1] = 0xFF00FF00;  // written back at unlock
  lockable->UnlockRect();
  EXPECT_EQ(device.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(device.Pixel(2, 0), 0x11223344u);

  IDirect3DSurface9* plain = nullptr;
  device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &plain, nullptr);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, plain->LockRect(&locked, nullptr, 0));
  // GetRenderTargetData needs a system-memory copy of the same size and format.
  IDirect3DSurface9* wrongSize = nullptr;
  device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongSize, nullptr);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->GetRenderTargetData(lockable.get(), wrongSize));
  IDirect3DSurface9* wrongFormat = nullptr;
  device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongFormat,
                                      nullptr);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->GetRenderTargetData(lockable.get(), wrongFormat));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->GetRenderTargetData(wrongFormat, lockable.get()));
  wrongSize->Release();
  wrongFormat->Release();
  plain->Release();
  ComOwner<IDirect3DSurface9> back;
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, Out(back));
  device->SetRenderTarget(0, back.get());
}
