// Device creation, clearing, presentation and the host seams.
#include <gtest/gtest.h>

#include "d3d9/D3D9TestDevice.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"
#include "support/ComOut.h"
#include "support/HResult.h"

namespace {

D3DPRESENT_PARAMETERS ShowParameters(HWND window, D3DFORMAT depth) {
  D3DPRESENT_PARAMETERS params{};
  params.BackBufferWidth = 64;
  params.BackBufferHeight = 48;
  params.BackBufferFormat = D3DFMT_X8R8G8B8;
  params.BackBufferCount = 1;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.hDeviceWindow = window;
  params.Windowed = TRUE;
  params.EnableAutoDepthStencil = TRUE;
  params.AutoDepthStencilFormat = depth;
  return params;
}

}  // namespace

TEST(DeviceBringUp, ClearedColourReadsBackExactly) {
  TestDevice device;
  ASSERT_TRUE(device.ok());
  ASSERT_HR(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x80123456, 1.0f, 0));
  std::vector<DWORD> pixels = device.Read();
  ASSERT_EQ(pixels.size(), 64u * 64u);
  for (DWORD p : pixels) ASSERT_EQ(p, 0x80123456u);
}

TEST(DeviceBringUp, ClearCoversTheViewportOrTheGivenRectangles) {
  TestDevice device;
  ASSERT_TRUE(device.ok());
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  D3DVIEWPORT9 viewport{8, 16, 8, 4, 0.0f, 1.0f};
  ASSERT_HR(device->SetViewport(&viewport));
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  EXPECT_EQ(device.Pixel(8, 16), 0xFFFF0000u);
  EXPECT_EQ(device.Pixel(15, 19), 0xFFFF0000u);
  EXPECT_EQ(device.Pixel(16, 19), 0xFF000000u);
  EXPECT_EQ(device.Pixel(8, 20), 0xFF000000u);
  // A rectangle is clipped to the viewport.
  D3DRECT rect{0, 0, 10, 17};
  device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
  EXPECT_EQ(device.Pixel(9, 16), 0xFF00FF00u);
  EXPECT_EQ(device.Pixel(10, 16), 0xFFFF0000u);
  EXPECT_EQ(device.Pixel(9, 17), 0xFFFF0000u);
}

TEST(DeviceBringUp, ClearRefusesWhatTheTargetsCannotTake) {
  TestDevice noDepth(16, 16, D3DFMT_UNKNOWN);
  ASSERT_TRUE(noDepth.ok());
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, noDepth->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
  TestDevice noStencil(16, 16, D3DFMT_D24X8);
  ASSERT_TRUE(noStencil.ok());
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, noStencil->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, noStencil->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 2.0f, 0));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, noStencil->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
}

TEST(DeviceBringUp, HeadlessDisplayModeAndHardwareCaps) {
  bool wasHeadless = OsIsHeadless();
  OsSetHeadless(true);
  IDirect3D9* d3d = Direct3DCreate9(31);
  ASSERT_NE(d3d, nullptr);
  D3DDISPLAYMODE mode{};
  ASSERT_HR(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode));
  EXPECT_EQ(mode.Width, 1024u);
  EXPECT_EQ(mode.Height, 768u);
  EXPECT_EQ(mode.RefreshRate, 60u);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
  D3DCAPS9 caps{};
  ASSERT_HR(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps));
  EXPECT_NE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
  EXPECT_EQ(caps.VertexShaderVersion, D3DVS_VERSION(2, 0));
  EXPECT_EQ(caps.MaxSimultaneousTextures, 8u);
  EXPECT_GE(caps.MaxActiveLights, 8u);
  EXPECT_EQ(Direct3DCreate9(30), nullptr);
  d3d->Release();
  OsSetHeadless(wasHeadless);
}

TEST(DeviceBringUp, FilterRefusingD24X8LeavesD16ForTheSecondAttempt) {
  std::vector<D3DFORMAT> asked;
  D3D9SetCreateDeviceFilter([&](const D3DPRESENT_PARAMETERS& params, DWORD) {
    asked.push_back(params.AutoDepthStencilFormat);
    return params.AutoDepthStencilFormat == D3DFMT_D24X8 ? D3DERR_NOTAVAILABLE : D3D_OK;
  });
  IDirect3D9* d3d = Direct3DCreate9(31);
  D3DPRESENT_PARAMETERS params = ShowParameters(nullptr, D3DFMT_D24X8);
  IDirect3DDevice9* device = nullptr;
  EXPECT_HR_EQ(D3DERR_NOTAVAILABLE,
               d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                 &params, &device));
  EXPECT_EQ(device, nullptr);
  params.AutoDepthStencilFormat = D3DFMT_D16;
  ASSERT_HR(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &params, &device));
  D3D9SetCreateDeviceFilter({});
  IDirect3DSurface9* depth = nullptr;
  ASSERT_HR(device->GetDepthStencilSurface(&depth));
  D3DSURFACE_DESC desc{};
  depth->GetDesc(&desc);
  EXPECT_EQ(desc.Format, D3DFMT_D16);
  EXPECT_EQ(desc.Width, 64u);
  depth->Release();
  EXPECT_EQ(asked, (std::vector<D3DFORMAT>{D3DFMT_D24X8, D3DFMT_D16}));
  device->Release();
  d3d->Release();
}

TEST(DeviceBringUp, CapsOverrideLeadsToSoftwareVertexProcessing) {
  D3DCAPS9 weak{};
  weak.MaxSimultaneousTextures = 5;
  D3D9SetCapsOverride(&weak);
  weak.MaxSimultaneousTextures = 2;  // read when the caps are asked for
  IDirect3D9* d3d = Direct3DCreate9(31);
  D3DCAPS9 caps{};
  d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
  EXPECT_EQ(caps.VertexShaderVersion, 0u);
  EXPECT_EQ(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
  EXPECT_EQ(caps.MaxSimultaneousTextures, 2u);
  // The show's own choice: hardware only with shaders >= 1.0 or hardware T&L.
  DWORD behavior = caps.VertexShaderVersion >= 0xFFFE0100u ||
                           (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
                       ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                       : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  EXPECT_EQ(behavior, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  D3DPRESENT_PARAMETERS params = ShowParameters(nullptr, D3DFMT_D24X8);
  IDirect3DDevice9* device = nullptr;
  ASSERT_HR(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, behavior, &params, &device));
  device->GetDeviceCaps(&caps);
  EXPECT_EQ(caps.MaxSimultaneousTextures, 2u);
  D3DDEVICE_CREATION_PARAMETERS creation{};
  device->GetCreationParameters(&creation);
  EXPECT_EQ(creation.BehaviorFlags, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  D3D9SetCapsOverride(nullptr);
  device->GetDeviceCaps(&caps);
  EXPECT_EQ(caps.MaxSimultaneousTextures, 8u);
  device->Release();
  d3d->Release();
}

TEST(DeviceBringUp, RefusesUnusableParameters) {
  IDirect3D9* d3d = Direct3DCreate9(31);
  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS params = ShowParameters(nullptr, D3DFMT_D24X8);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &params, &device));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x60, &params, &device));
  params.BackBufferWidth = 0;  // windowed 0x0 needs a window to measure
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &params, &device));
  params = ShowParameters(nullptr, D3DFMT_D32);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &params, &device));
  params = ShowParameters(nullptr, D3DFMT_D24X8);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               d3d->CreateDevice(1, D3DDEVTYPE_HAL, nullptr, 0x40, &params, &device));
  EXPECT_HR_EQ(D3DERR_NOTAVAILABLE,
               d3d->CreateDevice(0, D3DDEVTYPE_REF, nullptr, 0x40, &params, &device));
  EXPECT_EQ(device, nullptr);
  d3d->Release();
}

TEST(DeviceBringUp, WindowedZeroSizeBackBufferTakesTheClientSize) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "d3d9 test window";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "d3d9 test window", "Demo", WS_SYSMENU, 0, 0, 200, 150,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  RECT client{};
  ASSERT_TRUE(GetClientRect(window, &client));
  IDirect3D9* d3d = Direct3DCreate9(31);
  D3DPRESENT_PARAMETERS params = ShowParameters(window, D3DFMT_D24X8);
  params.BackBufferWidth = params.BackBufferHeight = 0;
  params.BackBufferFormat = D3DFMT_UNKNOWN;
  params.BackBufferCount = 0;
  IDirect3DDevice9* device = nullptr;
  ASSERT_HR(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x40, &params, &device));
  EXPECT_EQ(params.BackBufferWidth, static_cast<UINT>(client.right));
  EXPECT_EQ(params.BackBufferHeight, static_cast<UINT>(client.bottom));
  EXPECT_EQ(params.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(params.BackBufferCount, 1u);
  IDirect3DSurface9* back = nullptr;
  ASSERT_HR(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back));
  D3DSURFACE_DESC desc{};
  back->GetDesc(&desc);
  EXPECT_EQ(desc.Width, static_cast<UINT>(client.right));
  EXPECT_EQ(desc.Height, static_cast<UINT>(client.bottom));
  back->Release();
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  EXPECT_HR(device->Present(nullptr, nullptr, nullptr, nullptr));
  device->Release();
  d3d->Release();
  DestroyWindow(window);
  UnregisterClassA("d3d9 test window", nullptr);
}

TEST(DeviceBringUp, PresentCallsTheObserverWhichCanReadTheFrame) {
  TestDevice device;
  ASSERT_TRUE(device.ok());
  int calls = 0;
  DWORD seen = 0;
  D3D9SetPresentObserver([&](IDirect3DDevice9* presented) {
    ++calls;
    EXPECT_EQ(presented, device.device);
    seen = device.Pixel(5, 5);
  });
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
  EXPECT_HR(device->Present(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, 0xFF336699u);
  RECT rect{0, 0, 1, 1};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->Present(&rect, nullptr, nullptr, nullptr));
  D3D9SetPresentObserver({});
  device->Present(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(calls, 1);
}

TEST(DeviceBringUp, SceneBracketsMustPair) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->EndScene());
  EXPECT_HR(device->BeginScene());
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->BeginScene());
  EXPECT_HR(device->EndScene());
}

TEST(DeviceBringUp, ReferenceCountsFollowDirect3D) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  ULONG base = device->AddRef() - 1;
  device->Release();
  IDirect3DSurface9* back = nullptr;
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  // The back buffer's references are the device's.
  EXPECT_EQ(device->AddRef(), base + 2);
  device->Release();
  EXPECT_EQ(back->Release(), base);
  IDirect3DTexture9* texture = nullptr;
  ASSERT_HR(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
  IDirect3DSurface9* level = nullptr;
  texture->GetSurfaceLevel(0, &level);
  EXPECT_EQ(texture->AddRef(), 3u);  // creator, level reference, this one
  texture->Release();
  // A texture set on a stage outlives the application's last reference.
  device->SetTexture(0, texture);
  level->Release();
  EXPECT_EQ(texture->Release(), 0u);
  ComOwner<IDirect3DBaseTexture9> bound;
  ASSERT_HR(device->GetTexture(0, Out(bound)));
  EXPECT_EQ(bound.get(), texture);
  D3DSURFACE_DESC desc{};
  EXPECT_HR(static_cast<IDirect3DTexture9*>(bound.get())->GetLevelDesc(0, &desc));
  EXPECT_EQ(desc.Width, 4u);
  device->SetTexture(0, nullptr);
}
