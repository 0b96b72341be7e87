// A Direct3D device without a window for tests (rendered through EGL), on a back
// buffer of the given size, with hardware vertex processing.
#pragma once

#include "platform/d3d9/d3d9.h"

// The new device (one reference, the caller's), or null when it cannot be made.
// `depth` D3DFMT_UNKNOWN means no depth buffer.
inline IDirect3DDevice9* CreateHeadlessDevice(IDirect3D9* d3d, UINT width, UINT height,
                                              D3DFORMAT depth = D3DFMT_UNKNOWN,
                                              D3DFORMAT backBuffer = D3DFMT_X8R8G8B8) {
  D3DPRESENT_PARAMETERS params{};
  params.BackBufferWidth = width;
  params.BackBufferHeight = height;
  params.BackBufferFormat = backBuffer;
  params.BackBufferCount = 1;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.Windowed = TRUE;
  params.EnableAutoDepthStencil = depth != D3DFMT_UNKNOWN;
  params.AutoDepthStencilFormat = depth;
  IDirect3DDevice9* device = nullptr;
  if (!d3d || FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device)))
    return nullptr;
  return device;
}
