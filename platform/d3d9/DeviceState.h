// The Direct3D 9 state a device records, exactly as the application set it: render
// states, texture stage and sampler states, transforms, material, lights, viewport and
// vertex format. Resource bindings live in the device. Plain data; no OpenGL.
#pragma once

#include <array>
#include <cstring>
#include <map>

#include "platform/d3d9/FloatBits.h"
#include "platform/d3d9/d3d9types.h"

constexpr DWORD kRenderStateCount = 256;
constexpr DWORD kStageStateCount = 33;
constexpr DWORD kSamplerStateCount = 14;
constexpr DWORD kStageCount = 8;

struct LightSlot {
  D3DLIGHT9 light;
  bool enabled = false;
};

struct DeviceState {
  std::array<DWORD, kRenderStateCount> render{};
  std::array<std::array<DWORD, kStageStateCount>, kStageCount> stage{};
  std::array<std::array<DWORD, kSamplerStateCount>, kStageCount> sampler{};
  D3DMATRIX world{};
  D3DMATRIX view{};
  D3DMATRIX projection{};
  std::array<D3DMATRIX, kStageCount> texture{};
  D3DMATERIAL9 material{};
  std::map<DWORD, LightSlot> lights;  // by index; lights never set are absent
  D3DVIEWPORT9 viewport{};
  DWORD fvf = 0;
};

// Direct3D 9's documented defaults. ZENABLE starts TRUE only with an automatic
// depth-stencil surface; the viewport covers the given render target size.
void ResetDeviceState(DeviceState* state, bool autoDepthStencil, UINT targetWidth,
                      UINT targetHeight);

// The light LightEnable creates at an index never set: white directional along +z.
D3DLIGHT9 DefaultLight();

D3DMATRIX IdentityMatrix();

