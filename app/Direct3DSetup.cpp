#include <cstdio>

#include "app/Shell.h"

void Shell::InitDirect3D() {
  direct3d.reset(Direct3DCreate9(D3D_SDK_VERSION));
  if (!direct3d) FatalError("Error getting Direct3D");

  D3DDISPLAYMODE mode{};
  if (FAILED(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
    FatalError("Error getting display mode\n");

  D3DPRESENT_PARAMETERS params{};
  params.BackBufferWidth = fullscreen ? kScreenWidth : 0;
  params.BackBufferHeight = fullscreen ? kScreenHeight : 0;
  if (backBufferWidth) {
    params.BackBufferWidth = backBufferWidth;
    params.BackBufferHeight = backBufferHeight;
  }
  params.BackBufferFormat = fullscreen ? D3DFMT_X8R8G8B8 : mode.Format;
  params.BackBufferCount = 1;
  params.MultiSampleType = D3DMULTISAMPLE_NONE;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.hDeviceWindow = mainWindow;
  params.Windowed = fullscreen ? FALSE : TRUE;
  params.EnableAutoDepthStencil = TRUE;
  params.AutoDepthStencilFormat = D3DFMT_D24X8;
  params.FullScreen_RefreshRateInHz = 0;
  params.PresentationInterval = 0;

  D3DCAPS9 caps{};
  direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  DWORD behavior = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  if (caps.VertexShaderVersion >= 0xFFFE0100u || (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT))
    behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING;

  IDirect3DDevice9* created = nullptr;
  HRESULT result = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mainWindow,
                                          behavior, &params, &created);
  if (FAILED(result)) {
    params.AutoDepthStencilFormat = D3DFMT_D16;
    created = nullptr;
    result = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mainWindow, behavior,
                                    &params, &created);
  }
  if (SUCCEEDED(result)) device.reset(created);
  if (FAILED(result)) {
    char text[64];
    std::snprintf(text, sizeof text, "Error creating Device: %d\n", static_cast<int>(result));
    FatalError(text);
  }
}

void Shell::ReleaseDirect3D() {
  device.reset();
  direct3d.reset();
}
