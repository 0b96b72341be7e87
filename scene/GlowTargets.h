// The glow pipeline's render targets, shared by every scene of the program:
// eight square A8R8G8B8 textures of 512, 256, 64, 32, 8, 4, 2 and 1 pixels and a
// 512x512 D24S8 depth surface. Held through counted leases: the shell holds one
// for the program's life and each script player one for its own, so replacing a
// script player (restart, seek back, reload, loop) never lets the set go while
// another holder remains. One device per set. Entry thread only.
#pragma once

#include "platform/d3d9/d3d9.h"

inline constexpr int kGlowLevels = 8;
inline constexpr float kGlowLevelSizes[kGlowLevels] = {512, 256, 64, 32, 8, 4, 2, 1};

// Takes a lease: the first creates the set on `device`; later ones only count
// (and retry what the device refused before).
void CreateGlowTargets(IDirect3DDevice9* device);
// Gives one lease back; the last releases every target and the depth surface.
void ReleaseGlowTargets();
// Leases held now.
int GlowTargetLeases();
// Null before creation, after release, or where the device refused one.
IDirect3DTexture9* GlowTarget(int level);
IDirect3DSurface9* GlowDepth();
// Every target and the depth surface exist.
bool GlowTargetsComplete();

// A lease for the length of a scope.
class GlowTargetsLease {
 public:
  explicit GlowTargetsLease(IDirect3DDevice9* device) { CreateGlowTargets(device); }
  ~GlowTargetsLease() { ReleaseGlowTargets(); }
  GlowTargetsLease(const GlowTargetsLease&) = delete;
  GlowTargetsLease& operator=(const GlowTargetsLease&) = delete;
};
