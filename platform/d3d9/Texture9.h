// IDirect3DTexture9: a 2D texture of one level or a mip chain, held in one GL texture,
// with a CPU copy of each lockable level (locks write there; UnlockRect uploads the
// level). Render-target textures have no CPU copy and cannot be locked, as in
// Direct3D 9. Owns its level surfaces. Entry thread only.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "platform/d3d9/FormatInfo.h"
#include "platform/d3d9/Resource9.h"

class Surface9;

class Texture9 final : public Resource9<IDirect3DTexture9> {
 public:
  // Levels 0: the full chain down to 1×1. Reports and refuses what is unsupported.
  static HRESULT Create(Device9* device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, Texture9** texture);

  // IUnknown
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  // IDirect3DBaseTexture9
  DWORD SetLOD(DWORD LODNew) override;
  DWORD GetLOD() override;
  DWORD GetLevelCount() override;
  // IDirect3DTexture9
  HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
  HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) override;
  HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                   DWORD Flags) override;
  HRESULT UnlockRect(UINT Level) override;
  HRESULT AddDirtyRect(const RECT* pDirtyRect) override;

  // For the device and surfaces.
  GLuint glTexture() const { return texture_; }
  const FormatInfo& format() const { return *format_; }
  DWORD usage() const { return usage_; }
  D3DPOOL pool() const { return pool_; }
  bool IsRenderTarget() const { return (usage_ & D3DUSAGE_RENDERTARGET) != 0; }
  Surface9* level(UINT index) const { return levels_[index].surface; }
  UINT levelWidth(UINT index) const { return levels_[index].width; }
  UINT levelHeight(UINT index) const { return levels_[index].height; }
  // Replaces a whole level's contents (UpdateSurface, UpdateTexture).
  HRESULT WriteLevel(UINT level, const std::uint8_t* data, UINT pitch);

 private:
  struct LevelData {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> copy;  // lockable levels: the contents, LockPitch rows
    Surface9* surface = nullptr;     // owned
    bool locked = false;
    bool readOnly = false;
  };

  Texture9(Device9* device, UINT width, UINT height, UINT levels, DWORD usage,
           const FormatInfo& format, D3DPOOL pool);
  ~Texture9() override;
  void Upload(UINT level);

  DWORD usage_;
  const FormatInfo* format_;
  D3DPOOL pool_;
  std::vector<LevelData> levels_;
  DWORD lod_ = 0;
  GLuint texture_ = 0;
};
