// IDirect3DSurface9: a system-memory plain surface (bytes only), a level of a texture
// (its references are the texture's), a render target with its own GL texture, or a
// depth-stencil surface (GL renderbuffer). The back buffer and the automatic
// depth-stencil surface belong to the device: their references are the device's.
// Entry thread only.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "platform/d3d9/FormatInfo.h"
#include "platform/d3d9/Resource9.h"

class Texture9;

class Surface9 final : public Resource9<IDirect3DSurface9> {
 public:
  enum class Kind { SystemMemory, TextureLevel, RenderTarget, DepthStencil };

  static Surface9* CreateSystemMemory(Device9* device, UINT width, UINT height,
                                      const FormatInfo& format, D3DPOOL pool);
  // deviceOwned: the back buffer; lockable: LockRect reads the pixels back.
  static Surface9* CreateRenderTarget(Device9* device, UINT width, UINT height,
                                      const FormatInfo& format, bool lockable, bool deviceOwned);
  static Surface9* CreateDepthStencil(Device9* device, UINT width, UINT height,
                                      const FormatInfo& format, bool deviceOwned);
  static Surface9* CreateTextureLevel(Device9* device, Texture9* container, UINT level,
                                      UINT width, UINT height);

  // IUnknown
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override;
  ULONG Release() override;
  // IDirect3DSurface9
  HRESULT GetContainer(REFIID riid, void** ppContainer) override;
  HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
  HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
  HRESULT UnlockRect() override;

  void AddBind() override;
  void RemoveBind() override;

  // For the device.
  Kind kind() const { return kind_; }
  const FormatInfo& format() const { return *format_; }
  UINT width() const { return width_; }
  UINT height() const { return height_; }
  bool IsRenderTarget() const;
  bool IsDepthStencil() const { return kind_ == Kind::DepthStencil; }
  GLuint glTexture() const;  // colour targets: the texture to attach
  GLint glLevel() const { return static_cast<GLint>(level_); }
  GLuint glRenderbuffer() const { return renderbuffer_; }
  // Depth surfaces: the renderbuffer to attach beside a `width` x `height` target. Where
  // attachments must match in size, a smaller target gets a companion of its size,
  // made on first use, whose contents are its own.
  GLuint glRenderbufferFor(UINT width, UINT height);
  Texture9* container() const { return container_; }
  // System-memory surfaces: their bytes and row pitch.
  std::uint8_t* memory() { return memory_.data(); }
  UINT pitch() const { return pitch_; }
  // Deletes a device-owned surface (device destruction).
  void DestroyOwned();

 private:
  friend class Texture9;
  enum class Owner { Self, Container, Device };

  Surface9(Device9* device, Kind kind, Owner owner, UINT width, UINT height,
           const FormatInfo& format, D3DPOOL pool);
  ~Surface9() override;

  Kind kind_;
  Owner owner_;
  UINT width_, height_;
  const FormatInfo* format_;
  D3DPOOL pool_;
  DWORD usage_ = 0;
  Texture9* container_ = nullptr;
  UINT level_ = 0;
  bool lockable_ = false;
  std::vector<std::uint8_t> memory_;  // system memory; read-back buffer of locked targets
  UINT pitch_ = 0;
  GLuint texture_ = 0;
  GLuint renderbuffer_ = 0;
  struct Companion {
    UINT width, height;
    GLuint renderbuffer;
  };
  std::vector<Companion> companions_;
  bool locked_ = false;
  bool lockedReadOnly_ = false;
};
