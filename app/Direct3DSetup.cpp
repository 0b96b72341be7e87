#include <cstdio>

#include "app/Program.h"

void InitDirect3D() {
  program.direct3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!program.direct3d) FatalError("Error getting Direct3D");

  D3DDISPLAYMODE mode{};
  if (FAILED(program.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
    FatalError("Error getting display mode\n");

  D3DPRESENT_PARAMETERS params{};
  params.BackBufferWidth = program.fullscreen ? kScreenWidth : 0;
  params.BackBufferHeight = program.fullscreen ? kScreenHeight : 0;
  if (program.backBufferWidth) {
    params.BackBufferWidth = program.backBufferWidth;
    params.BackBufferHeight = program.backBufferHeight;
  }
  params.BackBufferFormat = program.fullscreen ? D3DFMT_X8R8G8B8 : mode.Format;
  params.BackBufferCount = 1;
  params.MultiSampleType = D3DMULTISAMPLE_NONE;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.hDeviceWindow = program.mainWindow;
  params.Windowed = program.fullscreen ? FALSE : TRUE;
  params.EnableAutoDepthStencil = TRUE;
  params.AutoDepthStencilFormat = D3DFMT_D24X8;
  params.FullScreen_RefreshRateInHz = 0;
  params.PresentationInterval = 0;

  D3DCAPS9 caps{};
  program.direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  DWORD behavior = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  if (caps.VertexShaderVersion >= 0xFFFE0100u || (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT))
    behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING;

  HRESULT result = program.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                                  program.mainWindow, behavior, &params,
                                                  &program.device);
  if (FAILED(result)) {
    params.AutoDepthStencilFormat = D3DFMT_D16;
    result = program.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
                                            program.mainWindow, behavior, &params,
                                            &program.device);
  }
  if (FAILED(result)) {
    char text[64];
    std::snprintf(text, sizeof text, "Error creating Device: %d\n", static_cast<int>(result));
    FatalError(text);
  }
}

void ReleaseDirect3D() {
  if (program.device) {
    program.device->Release();
    program.device = nullptr;
  }
  if (program.direct3d) {
    program.direct3d->Release();
    program.direct3d = nullptr;
  }
}
