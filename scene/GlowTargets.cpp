#include "scene/GlowTargets.h"

namespace {

// One set per program, shared by every scene's glow pipeline.
IDirect3DTexture9* glowTargets[kGlowLevels] = {};
IDirect3DSurface9* glowDepth = nullptr;
int leases = 0;

}  // namespace

void CreateGlowTargets(IDirect3DDevice9* device) {
  ++leases;
  if (glowDepth) return;
  for (int i = 0; i < kGlowLevels; ++i) {
    // A retry after a refused depth surface keeps the targets it already has.
    if (glowTargets[i]) continue;
    const UINT size = static_cast<UINT>(kGlowLevelSizes[i]);
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(size, size, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                     D3DPOOL_DEFAULT, &texture, nullptr)))
      texture = nullptr;
    glowTargets[i] = texture;
  }
  IDirect3DSurface9* depth = nullptr;
  if (FAILED(device->CreateDepthStencilSurface(512, 512, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0,
                                               TRUE, &depth, nullptr)))
    depth = nullptr;
  glowDepth = depth;
}

void ReleaseGlowTargets() {
  if (leases > 1) {
    --leases;
    return;
  }
  // The last lease, or a release without one: nothing may stay behind.
  leases = 0;
  for (IDirect3DTexture9*& texture : glowTargets) {
    if (texture) texture->Release();
    texture = nullptr;
  }
  if (glowDepth) glowDepth->Release();
  glowDepth = nullptr;
}

int GlowTargetLeases() { return leases; }

IDirect3DTexture9* GlowTarget(int level) {
  return level >= 0 && level < kGlowLevels ? glowTargets[level] : nullptr;
}

IDirect3DSurface9* GlowDepth() { return glowDepth; }

bool GlowTargetsComplete() {
  for (IDirect3DTexture9* texture : glowTargets)
    if (!texture) return false;
  return glowDepth != nullptr;
}
