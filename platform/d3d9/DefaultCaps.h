// The capabilities this layer reports for its one adapter: a hardware transform and
// lighting device with vertex shader version 2.0 on the caps sheet (shaders themselves
// are not offered), 8 texture stages and 8 lights, one render target.
#pragma once

#include "platform/d3d9/d3d9caps.h"

// Largest point size drawn; also the default of D3DRS_POINTSIZE_MAX.
constexpr float kMaxPointSize = 1024.0f;
constexpr DWORD kMaxTextureStages = 8;
constexpr DWORD kMaxActiveLights = 8;
constexpr DWORD kMaxTextureSize = 4096;

D3DCAPS9 MakeDefaultCaps();
