// Render targets: textures and surfaces as targets, orientation when a target texture
// is drawn again, the viewport reset of SetRenderTarget, depth surfaces, read-back.
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"

TEST(RenderTarget, ATargetTextureKeepsItsTopOnTopWhenDrawnAgain) {
  TestDevice device(32, 32, D3DFMT_D24S8, D3DFMT_X8R8G8B8);
  ASSERT_TRUE(device.ok());
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                  D3DPOOL_DEFAULT, &texture, nullptr),
            D3D_OK);
  IDirect3DSurface9* level = nullptr;
  IDirect3DSurface9* back = nullptr;
  texture->GetSurfaceLevel(0, &level);
  device->GetRenderTarget(0, &back);
  ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  DrawColorQuad(device.device, -1, 0, 1, 1, 0xFFFF0000);  // upper half red
  DrawColorQuad(device.device, -1, -1, 0, 0, 0xFF00FF00);  // lower-left green
  // Read back directly: row 0 is the top.
  std::vector<DWORD> pixels = device.Read(level);
  EXPECT_TRUE(ColorNear(pixels[2 * 16 + 8], 0xff0000, 0));
  EXPECT_TRUE(ColorNear(pixels[12 * 16 + 3], 0x00ff00, 0));
  EXPECT_TRUE(ColorNear(pixels[12 * 16 + 12], 0x000000, 0));
  // Drawn onto the back buffer with v = 0 at the top, the picture is the same way up.
  device->SetRenderTarget(0, back);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawTexQuad(device.device, 0, -1, 1, 1);  // right half of the back buffer
  EXPECT_TRUE(ColorNear(device.Pixel(24, 4), 0xff0000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(18, 28), 0x00ff00, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(28, 28), 0x000000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x0000ff, 0));
  device->SetTexture(0, nullptr);
  level->Release();
  back->Release();
  texture->Release();
}

TEST(RenderTarget, SetRenderTargetResetsTheViewportToTheTargetSize) {
  TestDevice device(64, 48);
  ASSERT_TRUE(device.ok());
  D3DVIEWPORT9 viewport{};
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 64u);
  EXPECT_EQ(viewport.Height, 48u);
  D3DVIEWPORT9 small{4, 4, 8, 8, 0.25f, 0.5f};
  ASSERT_EQ(device->SetViewport(&small), D3D_OK);
  IDirect3DSurface9* target = nullptr;
  ASSERT_EQ(device->CreateRenderTarget(20, 10, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                       &target, nullptr),
            D3D_OK);
  ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.X, 0u);
  EXPECT_EQ(viewport.Y, 0u);
  EXPECT_EQ(viewport.Width, 20u);
  EXPECT_EQ(viewport.Height, 10u);
  EXPECT_EQ(viewport.MinZ, 0.0f);
  EXPECT_EQ(viewport.MaxZ, 1.0f);
  D3DVIEWPORT9 tooBig{0, 0, 21, 10, 0, 1};
  EXPECT_EQ(device->SetViewport(&tooBig), D3DERR_INVALIDCALL);
  target->Release();
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
  IDirect3DSurface9* own = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(64, 64, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                              &own, nullptr),
            D3D_OK);
  IDirect3DSurface9* automatic = nullptr;
  device->GetDepthStencilSurface(&automatic);
  ASSERT_EQ(device->SetDepthStencilSurface(own), D3D_OK);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 0.5f, 0);
  DrawFullScreenColor(device.device, 0xFFFF0000, 0.7f);  // behind the cleared depth
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x000000, 0));
  ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
  DrawFullScreenColor(device.device, 0xFFFF0000, 0.7f);  // no depth: drawn
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xff0000, 0));
  device->SetDepthStencilSurface(automatic);
  IDirect3DSurface9* current = nullptr;
  device->GetDepthStencilSurface(&current);
  EXPECT_EQ(current, automatic);
  current->Release();
  // A depth surface smaller than the target is refused rather than clipping the draw.
  IDirect3DSurface9* small = nullptr;
  device->CreateDepthStencilSurface(16, 16, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &small,
                                    nullptr);
  device->SetDepthStencilSurface(small);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  device->SetDepthStencilSurface(automatic);
  EXPECT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
  EXPECT_EQ(device->SetRenderTarget(0, small), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
  device->SetDepthStencilSurface(automatic);
  small->Release();
  automatic->Release();
  own->Release();
}

TEST(RenderTarget, LockableTargetsAndReadBackRules) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  IDirect3DSurface9* lockable = nullptr;
  ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                       &lockable, nullptr),
            D3D_OK);
  device->SetRenderTarget(0, lockable);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x11223344, 1.0f, 0);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(lockable->LockRect(&locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[0], 0x11223344u);
  static_cast<DWORD*>(locked.pBits)[1] = 0xFF00FF00;  // written back at unlock
  lockable->UnlockRect();
  EXPECT_EQ(device.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(device.Pixel(2, 0), 0x11223344u);

  IDirect3DSurface9* plain = nullptr;
  device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &plain, nullptr);
  EXPECT_EQ(plain->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  // GetRenderTargetData needs a system-memory copy of the same size and format.
  IDirect3DSurface9* wrongSize = nullptr;
  device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongSize, nullptr);
  EXPECT_EQ(device->GetRenderTargetData(lockable, wrongSize), D3DERR_INVALIDCALL);
  IDirect3DSurface9* wrongFormat = nullptr;
  device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongFormat,
                                      nullptr);
  EXPECT_EQ(device->GetRenderTargetData(lockable, wrongFormat), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->GetRenderTargetData(wrongFormat, lockable), D3DERR_INVALIDCALL);
  wrongSize->Release();
  wrongFormat->Release();
  plain->Release();
  IDirect3DSurface9* back = nullptr;
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  device->SetRenderTarget(0, back);
  back->Release();
  lockable->Release();
}
