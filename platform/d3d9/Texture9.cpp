#include "platform/d3d9/Texture9.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/GlFlavour.h"
#include "platform/d3d9/Surface9.h"

namespace {
UINT FullChainLength(UINT width, UINT height) {
  UINT levels = 1;
  while (width > 1 || height > 1) {
    width = std::max(1u, width / 2);
    height = std::max(1u, height / 2);
    ++levels;
  }
  return levels;
}
}  // namespace

HRESULT Texture9::Create(Device9* device, UINT width, UINT height, UINT levels, DWORD usage,
                         D3DFORMAT format, D3DPOOL pool, Texture9** texture) {
  *texture = nullptr;
  const FormatInfo* info = FindColorFormat(format);
  if (!info) return ReportInvalidCall("CreateTexture: format %u is not supported", format);
  if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize)
    return ReportInvalidCall("CreateTexture: size %ux%u is not supported", width, height);
  if (usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC))
    return ReportInvalidCall("CreateTexture: usage 0x%x is not supported", usage);
  if (pool > D3DPOOL_SCRATCH) return ReportInvalidCall("CreateTexture: pool %u", pool);
  if ((usage & D3DUSAGE_RENDERTARGET) && (pool != D3DPOOL_DEFAULT || !info->renderable))
    return ReportInvalidCall("CreateTexture: render targets need the default pool and a "
                             "renderable format");
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
    return ReportInvalidCall("CreateTexture: dynamic textures cannot be managed");
  UINT chain = FullChainLength(width, height);
  if (levels == 0 || levels > chain) levels = levels == 0 ? chain : 0;
  if (levels == 0) return ReportInvalidCall("CreateTexture: more levels than the mip chain has");
  *texture = new Texture9(device, width, height, levels, usage, *info, pool);
  return D3D_OK;
}

Texture9::Texture9(Device9* device, UINT width, UINT height, UINT levels, DWORD usage,
                   const FormatInfo& format, D3DPOOL pool)
    : Resource9(device, D3DRTYPE_TEXTURE), usage_(usage), format_(&format), pool_(pool) {
  device->Activate();
  glGenTextures(1, &texture_);
  device->gl().BindTextureForSetup(texture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
  GlSetTextureSwizzle(format.swizzle);
  levels_.resize(levels);
  for (UINT i = 0; i < levels; ++i) {
    LevelData& level = levels_[i];
    level.width = std::max(1u, width >> i);
    level.height = std::max(1u, height >> i);
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(format.internalFormat),
                 static_cast<GLsizei>(level.width), static_cast<GLsizei>(level.height), 0,
                 format.uploadFormat, format.uploadType, nullptr);
    level.surface = Surface9::CreateTextureLevel(device, this, i, level.width, level.height);
  }
}

Texture9::~Texture9() {
  for (LevelData& level : levels_) delete level.surface;
  device()->gl().ForgetTexture(texture_);
  glDeleteTextures(1, &texture_);
}

HRESULT Texture9::QueryInterface(REFIID riid, void** ppvObject) {
  return ComQueryInterface<IDirect3DTexture9>(
      this, riid, ppvObject,
      {IID_IUnknown, IID_IDirect3DResource9, IID_IDirect3DBaseTexture9, IID_IDirect3DTexture9});
}

DWORD Texture9::SetLOD(DWORD LODNew) {
  // Only managed textures have a level of detail in Direct3D 9.
  if (pool_ != D3DPOOL_MANAGED) return 0;
  DWORD old = lod_;
  lod_ = std::min<DWORD>(LODNew, static_cast<DWORD>(levels_.size() - 1));
  return old;
}

DWORD Texture9::GetLOD() { return lod_; }

DWORD Texture9::GetLevelCount() { return static_cast<DWORD>(levels_.size()); }

HRESULT Texture9::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
  if (Level >= levels_.size()) return ReportInvalidCall("GetLevelDesc: level %u does not exist", Level);
  return levels_[Level].surface->GetDesc(pDesc);
}

HRESULT Texture9::GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) {
  if (!ppSurfaceLevel) return ReportInvalidCall("GetSurfaceLevel: null pointer");
  *ppSurfaceLevel = nullptr;
  if (Level >= levels_.size())
    return ReportInvalidCall("GetSurfaceLevel: level %u does not exist", Level);
  levels_[Level].surface->AddRef();
  *ppSurfaceLevel = levels_[Level].surface;
  return D3D_OK;
}

HRESULT Texture9::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                           DWORD Flags) {
  if (!pLockedRect) return ReportInvalidCall("LockRect: null locked rectangle");
  if (Level >= levels_.size()) return ReportInvalidCall("LockRect: level %u does not exist", Level);
  if (IsRenderTarget())
    return ReportInvalidCall("LockRect: render-target textures cannot be locked");
  LevelData& level = levels_[Level];
  if (level.locked) return ReportInvalidCall("LockRect: level %u is already locked", Level);
  RECT whole{0, 0, static_cast<LONG>(level.width), static_cast<LONG>(level.height)};
  const RECT& r = pRect ? *pRect : whole;
  if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom ||
      r.right > whole.right || r.bottom > whole.bottom)
    return ReportInvalidCall("LockRect: rectangle outside level %u", Level);
  UINT pitch = LockPitch(*format_, level.width);
  if (level.copy.empty()) level.copy.assign(static_cast<std::size_t>(pitch) * level.height, 0);
  level.locked = true;
  level.readOnly = (Flags & D3DLOCK_READONLY) != 0;
  pLockedRect->Pitch = static_cast<INT>(pitch);
  pLockedRect->pBits = level.copy.data() + static_cast<std::size_t>(r.top) * pitch +
                       static_cast<std::size_t>(r.left) * format_->bytesPerPixel;
  return D3D_OK;
}

HRESULT Texture9::UnlockRect(UINT Level) {
  if (Level >= levels_.size()) return ReportInvalidCall("UnlockRect: level %u does not exist", Level);
  LevelData& level = levels_[Level];
  if (!level.locked) return ReportInvalidCall("UnlockRect: level %u is not locked", Level);
  level.locked = false;
  if (!level.readOnly) Upload(Level);
  return D3D_OK;
}

HRESULT Texture9::AddDirtyRect(const RECT*) { return D3D_OK; }

HRESULT Texture9::WriteLevel(UINT index, const std::uint8_t* data, UINT pitch) {
  if (index >= levels_.size() || IsRenderTarget()) return D3DERR_INVALIDCALL;
  LevelData& level = levels_[index];
  if (level.locked) return ReportInvalidCall("level %u is locked", index);
  UINT ownPitch = LockPitch(*format_, level.width);
  level.copy.resize(static_cast<std::size_t>(ownPitch) * level.height);
  UINT rowBytes = level.width * format_->bytesPerPixel;
  for (UINT row = 0; row < level.height; ++row)
    std::memcpy(level.copy.data() + static_cast<std::size_t>(row) * ownPitch,
                data + static_cast<std::size_t>(row) * pitch, rowBytes);
  Upload(index);
  return D3D_OK;
}

void Texture9::Upload(UINT index) {
  LevelData& level = levels_[index];
  device()->Activate();
  device()->gl().BindTextureForSetup(texture_);
  std::vector<std::uint8_t> scratch;
  const GlUpload upload = PrepareUpload(*format_, level.copy.data(), LockPitch(*format_, level.width),
                                        level.width, level.height, &scratch);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, upload.rowLength);
  glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(index), 0, 0,
                  static_cast<GLsizei>(level.width), static_cast<GLsizei>(level.height),
                  format_->uploadFormat, format_->uploadType, upload.data);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}
