// The resources a RecordingDevice makes: surfaces, textures with their levels, vertex
// and index buffers. Each keeps its bytes in memory, so a test reads what the code
// under test wrote into them. Locks follow Direct3D 9's rules (no nested locks, no
// locking a default-pool texture that is not dynamic); a broken rule is refused and
// counted on the device. Nothing is rendered.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "support/RecordedObject.h"

// Bytes per pixel of the formats the platform's device takes; 0 for the others.
UINT RecordedBytesPerPixel(D3DFORMAT format);
bool RecordedDepthFormat(D3DFORMAT format);

// The pixels of one surface or texture level, rows `pitch` bytes apart.
struct SurfaceMemory {
  D3DSURFACE_DESC desc{};
  UINT pitch = 0;
  std::vector<std::uint8_t> bytes;
  bool locked = false;
  bool lockable = true;

  SurfaceMemory(UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool,
                D3DRESOURCETYPE type);
  HRESULT Lock(RecordingDevice* device, D3DLOCKED_RECT* locked, const RECT* rect);
  HRESULT Unlock(RecordingDevice* device);
};

class RecordedTexture;

// A surface of its own: render target, depth-stencil or off-screen plain surface, or
// the device's back buffer.
class RecordedSurface final : public RecordedObject<IDirect3DSurface9> {
 public:
  RecordedSurface(RecordingDevice* device, UINT width, UINT height, D3DFORMAT format, DWORD usage,
                  D3DPOOL pool, bool lockable);
  // The device's back buffer and automatic depth surface count as the device, as in
  // Direct3D 9.
  void MakeImplicit() { implicit_ = true; }
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetContainer(REFIID, void** container) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  SurfaceMemory memory;

 private:
  bool implicit_ = false;
};

// A level of a texture: its references are the texture's, as in Direct3D 9.
class RecordedLevel final : public IDirect3DSurface9 {
 public:
  RecordedLevel(RecordedTexture* texture, RecordingDevice* device, UINT width, UINT height,
                D3DFORMAT format, DWORD usage, D3DPOOL pool);
  ~RecordedLevel() override = default;
  HRESULT QueryInterface(REFIID, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetContainer(REFIID, void** container) override;
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  RecordedTexture* texture;
  RecordingDevice* owner;
  SurfaceMemory memory;
};

class RecordedTexture final : public RecordedObject<IDirect3DTexture9> {
 public:
  // `levels` 0 makes the full chain down to 1x1.
  RecordedTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                  D3DFORMAT format, D3DPOOL pool);
  DWORD SetLOD(DWORD) override { return 0; }
  DWORD GetLOD() override { return 0; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(levels.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
  HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }

  std::vector<std::unique_ptr<RecordedLevel>> levels;
};

class RecordedVertexBuffer final : public RecordedObject<IDirect3DVertexBuffer9> {
 public:
  RecordedVertexBuffer(RecordingDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

  D3DVERTEXBUFFER_DESC desc{};
  std::vector<std::uint8_t> bytes;
  bool locked = false;
};

class RecordedIndexBuffer final : public RecordedObject<IDirect3DIndexBuffer9> {
 public:
  RecordedIndexBuffer(RecordingDevice* device, UINT length, DWORD usage, D3DFORMAT format,
                      D3DPOOL pool);
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

  D3DINDEXBUFFER_DESC desc{};
  std::vector<std::uint8_t> bytes;
  bool locked = false;
};
