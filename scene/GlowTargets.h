// The glow pipeline's render targets, shared by every scene of the program:
// eight square A8R8G8B8 textures of 512, 256, 64, 32, 8, 4, 2 and 1 pixels and a
// 512x512 D24S8 depth surface. Created once by the script player at start and
// released at its end. Entry thread only.
#pragma once

#include "platform/d3d9/d3d9.h"

inline constexpr int kGlowLevels = 8;
inline constexpr float kGlowLevelSizes[kGlowLevels] = {512, 256, 64, 32, 8, 4, 2, 1};

void CreateGlowTargets(IDirect3DDevice9* device);
void ReleaseGlowTargets();
// Null before creation, after release, or where the device refused one.
IDirect3DTexture9* GlowTarget(int level);
IDirect3DSurface9* GlowDepth();
// Every target and the depth surface exist.
bool GlowTargetsComplete();
