#include "platform/d3d9/Surface9.h"

#include <cstring>

#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/GlFlavour.h"
#include "platform/d3d9/Texture9.h"

Surface9::Surface9(Device9* device, Kind kind, Owner owner, UINT width, UINT height,
                   const FormatInfo& format, D3DPOOL pool)
    : Resource9(device, D3DRTYPE_SURFACE, owner == Owner::Self),
      kind_(kind),
      owner_(owner),
      width_(width),
      height_(height),
      format_(&format),
      pool_(pool) {}

Surface9::~Surface9() {
  if (texture_) {
    device()->gl().ForgetTexture(texture_);
    glDeleteTextures(1, &texture_);
  }
  if (renderbuffer_) glDeleteRenderbuffers(1, &renderbuffer_);
  for (const Companion& c : companions_) glDeleteRenderbuffers(1, &c.renderbuffer);
}

GLuint Surface9::glRenderbufferFor(UINT width, UINT height) {
  if (!GlAttachmentsMatchInSize() || (width == width_ && height == height_)) return renderbuffer_;
  for (const Companion& c : companions_)
    if (c.width == width && c.height == height) return c.renderbuffer;
  Companion c{width, height, 0};
  glGenRenderbuffers(1, &c.renderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, c.renderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, format_->internalFormat, static_cast<GLsizei>(width),
                        static_cast<GLsizei>(height));
  companions_.push_back(c);
  return c.renderbuffer;
}

Surface9* Surface9::CreateSystemMemory(Device9* device, UINT width, UINT height,
                                       const FormatInfo& format, D3DPOOL pool) {
  auto* surface =
      new Surface9(device, Kind::SystemMemory, Owner::Self, width, height, format, pool);
  surface->pitch_ = LockPitch(format, width);
  surface->memory_.assign(static_cast<std::size_t>(surface->pitch_) * height, 0);
  return surface;
}

Surface9* Surface9::CreateRenderTarget(Device9* device, UINT width, UINT height,
                                       const FormatInfo& format, bool lockable,
                                       bool deviceOwned) {
  auto* surface = new Surface9(device, Kind::RenderTarget,
                               deviceOwned ? Owner::Device : Owner::Self, width, height, format,
                               D3DPOOL_DEFAULT);
  surface->usage_ = D3DUSAGE_RENDERTARGET;
  surface->lockable_ = lockable;
  device->Activate();
  glGenTextures(1, &surface->texture_);
  device->gl().BindTextureForSetup(surface->texture_);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format.internalFormat),
               static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, format.uploadFormat,
               format.uploadType, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  GlSetTextureSwizzle(format.swizzle);
  return surface;
}

Surface9* Surface9::CreateDepthStencil(Device9* device, UINT width, UINT height,
                                       const FormatInfo& format, bool deviceOwned) {
  auto* surface = new Surface9(device, Kind::DepthStencil,
                               deviceOwned ? Owner::Device : Owner::Self, width, height, format,
                               D3DPOOL_DEFAULT);
  surface->usage_ = D3DUSAGE_DEPTHSTENCIL;
  device->Activate();
  glGenRenderbuffers(1, &surface->renderbuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, surface->renderbuffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, format.internalFormat, static_cast<GLsizei>(width),
                        static_cast<GLsizei>(height));
  return surface;
}

Surface9* Surface9::CreateTextureLevel(Device9* device, Texture9* container, UINT level,
                                       UINT width, UINT height) {
  auto* surface = new Surface9(device, Kind::TextureLevel, Owner::Container, width, height,
                               container->format(), container->pool());
  surface->container_ = container;
  surface->level_ = level;
  surface->usage_ = container->usage();
  return surface;
}

void Surface9::DestroyOwned() {
  if (owner_ == Owner::Device) delete this;
}

HRESULT Surface9::QueryInterface(REFIID riid, void** ppvObject) {
  return ComQueryInterface<IDirect3DSurface9>(
      this, riid, ppvObject, {IID_IUnknown, IID_IDirect3DResource9, IID_IDirect3DSurface9});
}

ULONG Surface9::AddRef() {
  switch (owner_) {
    case Owner::Container:
      return container_->AddRef();
    case Owner::Device:
      return device()->AddRef();
    case Owner::Self:
      break;
  }
  return Resource9::AddRef();
}

ULONG Surface9::Release() {
  switch (owner_) {
    case Owner::Container:
      return container_->Release();
    case Owner::Device:
      return device()->Release();
    case Owner::Self:
      break;
  }
  return Resource9::Release();
}

void Surface9::AddBind() {
  if (owner_ == Owner::Container)
    container_->AddBind();
  else if (owner_ == Owner::Self)
    Resource9::AddBind();
}

void Surface9::RemoveBind() {
  if (owner_ == Owner::Container)
    container_->RemoveBind();
  else if (owner_ == Owner::Self)
    Resource9::RemoveBind();
}

bool Surface9::IsRenderTarget() const {
  if (kind_ == Kind::RenderTarget) return true;
  return kind_ == Kind::TextureLevel && container_->IsRenderTarget();
}

GLuint Surface9::glTexture() const {
  return kind_ == Kind::TextureLevel ? container_->glTexture() : texture_;
}

HRESULT Surface9::GetContainer(REFIID riid, void** ppContainer) {
  if (!ppContainer) return ReportInvalidCall("GetContainer: null pointer");
  if (container_) return container_->QueryInterface(riid, ppContainer);
  return device()->QueryInterface(riid, ppContainer);
}

HRESULT Surface9::GetDesc(D3DSURFACE_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("GetDesc: null description");
  *pDesc = D3DSURFACE_DESC{format_->format, D3DRTYPE_SURFACE, usage_,  pool_,
                           D3DMULTISAMPLE_NONE, 0,                 width_, height_};
  return D3D_OK;
}

HRESULT Surface9::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) {
  if (!pLockedRect) return ReportInvalidCall("LockRect: null locked rectangle");
  if (kind_ == Kind::TextureLevel) return container_->LockRect(level_, pLockedRect, pRect, Flags);
  if (kind_ == Kind::DepthStencil) return ReportInvalidCall("LockRect: depth surfaces are not lockable");
  if (kind_ == Kind::RenderTarget && !lockable_)
    return ReportInvalidCall("LockRect: the render target was not created lockable");
  if (locked_) return ReportInvalidCall("LockRect: the surface is already locked");
  RECT whole{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
  const RECT& r = pRect ? *pRect : whole;
  if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom ||
      r.right > whole.right || r.bottom > whole.bottom)
    return ReportInvalidCall("LockRect: rectangle outside the surface");
  if (kind_ == Kind::RenderTarget) {
    pitch_ = LockPitch(*format_, width_);
    memory_.resize(static_cast<std::size_t>(pitch_) * height_);
    device()->ReadTarget(this, memory_.data(), pitch_);
  }
  locked_ = true;
  lockedReadOnly_ = (Flags & D3DLOCK_READONLY) != 0;
  pLockedRect->Pitch = static_cast<INT>(pitch_);
  pLockedRect->pBits = memory_.data() + static_cast<std::size_t>(r.top) * pitch_ +
                       static_cast<std::size_t>(r.left) * format_->bytesPerPixel;
  return D3D_OK;
}

HRESULT Surface9::UnlockRect() {
  if (kind_ == Kind::TextureLevel) return container_->UnlockRect(level_);
  if (!locked_) return ReportInvalidCall("UnlockRect: the surface is not locked");
  locked_ = false;
  if (kind_ == Kind::RenderTarget) {
    if (!lockedReadOnly_) {
      device()->Activate();
      device()->gl().BindTextureForSetup(texture_);
      std::vector<std::uint8_t> scratch;
      const GlUpload upload =
          PrepareUpload(*format_, memory_.data(), pitch_, width_, height_, &scratch);
      glPixelStorei(GL_UNPACK_ROW_LENGTH, upload.rowLength);
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width_),
                      static_cast<GLsizei>(height_), format_->uploadFormat, format_->uploadType,
                      upload.data);
      glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    memory_.clear();
    memory_.shrink_to_fit();
  }
  return D3D_OK;
}
