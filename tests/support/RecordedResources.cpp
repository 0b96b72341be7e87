#include "support/RecordedResources.h"

#include <algorithm>
#include <string>

namespace {

std::string Describe(const char* kind, UINT width, UINT height, D3DFORMAT format) {
  return std::string(kind) + " " + std::to_string(width) + "x" + std::to_string(height) +
         " format " + std::to_string(format);
}

template <class Desc>
HRESULT LockBuffer(RecordingDevice* device, std::vector<std::uint8_t>& bytes, bool& locked,
                   const Desc& desc, UINT offset, UINT size, void** data, const char* what) {
  if (!data) return LedgerRefuse(device, std::string(what) + " Lock: null pointer");
  *data = nullptr;
  if (locked) return LedgerRefuse(device, std::string(what) + " Lock: already locked");
  if (size == 0 && offset == 0) size = desc.Size;
  if (offset > desc.Size || size > desc.Size - offset)
    return LedgerRefuse(device, std::string(what) + " Lock: range beyond the buffer");
  locked = true;
  *data = bytes.data() + offset;
  return D3D_OK;
}

}  // namespace

UINT RecordedBytesPerPixel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
      return 4;
    case D3DFMT_A8L8:
    case D3DFMT_D16:
      return 2;
    case D3DFMT_L8:
    case D3DFMT_A8:
      return 1;
    default:
      return 0;
  }
}

bool RecordedDepthFormat(D3DFORMAT format) {
  return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16;
}

SurfaceMemory::SurfaceMemory(UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool,
                             D3DRESOURCETYPE type) {
  desc.Format = format;
  desc.Type = type;
  desc.Usage = usage;
  desc.Pool = pool;
  desc.MultiSampleType = D3DMULTISAMPLE_NONE;
  desc.Width = width;
  desc.Height = height;
  pitch = (width * RecordedBytesPerPixel(format) + 3) / 4 * 4;
  bytes.assign(static_cast<std::size_t>(pitch) * height, 0);
}

HRESULT SurfaceMemory::Lock(RecordingDevice* device, D3DLOCKED_RECT* out, const RECT* rect) {
  if (!out) return LedgerRefuse(device, "LockRect: null pointer");
  out->pBits = nullptr;
  out->Pitch = 0;
  if (!lockable) return LedgerRefuse(device, "LockRect: the surface cannot be locked");
  if (locked) return LedgerRefuse(device, "LockRect: already locked");
  std::size_t offset = 0;
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
        static_cast<UINT>(rect->right) > desc.Width ||
        static_cast<UINT>(rect->bottom) > desc.Height)
      return LedgerRefuse(device, "LockRect: rectangle outside the surface");
    offset = static_cast<std::size_t>(rect->top) * pitch +
             static_cast<std::size_t>(rect->left) * RecordedBytesPerPixel(desc.Format);
  }
  locked = true;
  out->pBits = bytes.data() + offset;
  out->Pitch = static_cast<INT>(pitch);
  return D3D_OK;
}

HRESULT SurfaceMemory::Unlock(RecordingDevice* device) {
  if (!locked) return LedgerRefuse(device, "UnlockRect: not locked");
  locked = false;
  return D3D_OK;
}

RecordedSurface::RecordedSurface(RecordingDevice* device, UINT width, UINT height, D3DFORMAT format,
                                 DWORD usage, D3DPOOL pool, bool lockable)
    : RecordedObject(device, D3DRTYPE_SURFACE, Describe("surface", width, height, format)),
      memory(width, height, format, usage, pool, D3DRTYPE_SURFACE) {
  memory.lockable = lockable;
}

ULONG RecordedSurface::AddRef() {
  return implicit_ ? LedgerDevice(device())->AddRef() : RecordedObject::AddRef();
}

ULONG RecordedSurface::Release() {
  return implicit_ ? LedgerDevice(device())->Release() : RecordedObject::Release();
}

HRESULT RecordedSurface::GetContainer(REFIID, void** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT RecordedSurface::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return LedgerRefuse(device(), "GetDesc: null pointer");
  *desc = memory.desc;
  return D3D_OK;
}

HRESULT RecordedSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
  return memory.Lock(device(), locked, rect);
}

HRESULT RecordedSurface::UnlockRect() { return memory.Unlock(device()); }

RecordedLevel::RecordedLevel(RecordedTexture* texture, RecordingDevice* device, UINT width,
                             UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool)
    : texture(texture),
      owner(device),
      memory(width, height, format, usage, pool, D3DRTYPE_SURFACE) {
  memory.lockable = pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0;
}

HRESULT RecordedLevel::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}
ULONG RecordedLevel::AddRef() { return texture->AddRef(); }
ULONG RecordedLevel::Release() { return texture->Release(); }
HRESULT RecordedLevel::GetDevice(IDirect3DDevice9** device) { return texture->GetDevice(device); }

HRESULT RecordedLevel::GetContainer(REFIID riid, void** container) {
  if (!container) return LedgerRefuse(owner, "GetContainer: null pointer");
  *container = nullptr;
  if (!(riid == IID_IDirect3DTexture9) && !(riid == IID_IDirect3DBaseTexture9))
    return E_NOINTERFACE;
  texture->AddRef();
  *container = static_cast<IDirect3DTexture9*>(texture);
  return D3D_OK;
}

HRESULT RecordedLevel::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return LedgerRefuse(owner, "GetDesc: null pointer");
  *desc = memory.desc;
  return D3D_OK;
}

HRESULT RecordedLevel::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
  return memory.Lock(owner, locked, rect);
}

HRESULT RecordedLevel::UnlockRect() { return memory.Unlock(owner); }

RecordedTexture::RecordedTexture(RecordingDevice* device, UINT width, UINT height, UINT count,
                                 DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : RecordedObject(device, D3DRTYPE_TEXTURE, Describe("texture", width, height, format)) {
  UINT w = width, h = height;
  for (UINT i = 0; count == 0 || i < count; ++i) {
    levels.push_back(std::make_unique<RecordedLevel>(this, device, w, h, format, usage, pool));
    if (w == 1 && h == 1) break;
    w = std::max(1u, w / 2);
    h = std::max(1u, h / 2);
  }
}

HRESULT RecordedTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (!desc || level >= levels.size()) return LedgerRefuse(device(), "GetLevelDesc: bad level");
  *desc = levels[level]->memory.desc;
  return D3D_OK;
}

HRESULT RecordedTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (!surface) return LedgerRefuse(device(), "GetSurfaceLevel: null pointer");
  *surface = nullptr;
  if (level >= levels.size()) return LedgerRefuse(device(), "GetSurfaceLevel: bad level");
  AddRef();
  *surface = levels[level].get();
  return D3D_OK;
}

HRESULT RecordedTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
  if (level >= levels.size()) return LedgerRefuse(device(), "LockRect: bad level");
  return levels[level]->memory.Lock(device(), locked, rect);
}

HRESULT RecordedTexture::UnlockRect(UINT level) {
  if (level >= levels.size()) return LedgerRefuse(device(), "UnlockRect: bad level");
  return levels[level]->memory.Unlock(device());
}

RecordedVertexBuffer::RecordedVertexBuffer(RecordingDevice* device, UINT length, DWORD usage,
                                           DWORD fvf, D3DPOOL pool)
    : RecordedObject(device, D3DRTYPE_VERTEXBUFFER,
                     "vertex buffer of " + std::to_string(length) + " bytes"),
      bytes(length, 0) {
  desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf};
}

HRESULT RecordedVertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
  return LockBuffer(device(), bytes, locked, desc, offset, size, data, "vertex buffer");
}

HRESULT RecordedVertexBuffer::Unlock() {
  if (!locked) return LedgerRefuse(device(), "vertex buffer Unlock: not locked");
  locked = false;
  return D3D_OK;
}

HRESULT RecordedVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* out) {
  if (!out) return LedgerRefuse(device(), "GetDesc: null pointer");
  *out = desc;
  return D3D_OK;
}

RecordedIndexBuffer::RecordedIndexBuffer(RecordingDevice* device, UINT length, DWORD usage,
                                         D3DFORMAT format, D3DPOOL pool)
    : RecordedObject(device, D3DRTYPE_INDEXBUFFER,
                     "index buffer of " + std::to_string(length) + " bytes"),
      bytes(length, 0) {
  desc = {format, D3DRTYPE_INDEXBUFFER, usage, pool, length};
}

HRESULT RecordedIndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD) {
  return LockBuffer(device(), bytes, locked, desc, offset, size, data, "index buffer");
}

HRESULT RecordedIndexBuffer::Unlock() {
  if (!locked) return LedgerRefuse(device(), "index buffer Unlock: not locked");
  locked = false;
  return D3D_OK;
}

HRESULT RecordedIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* out) {
  if (!out) return LedgerRefuse(device(), "GetDesc: null pointer");
  *out = desc;
  return D3D_OK;
}
