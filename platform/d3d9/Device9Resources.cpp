// Device9: creation of resources, render targets and depth surfaces, copies between
// surfaces.
#include <cstring>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/IndexBuffer9.h"
#include "platform/d3d9/Surface9.h"
#include "platform/d3d9/Texture9.h"
#include "platform/d3d9/VertexBuffer9.h"

namespace {

HRESULT CheckSharedHandle(HANDLE* handle, const char* call) {
  if (handle) return ReportInvalidCall("%s: shared resources are not supported", call);
  return D3D_OK;
}

bool SizeOk(UINT width, UINT height) {
  return width > 0 && height > 0 && width <= kMaxTextureSize && height <= kMaxTextureSize;
}

}  // namespace

HRESULT Device9::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                               D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture,
                               HANDLE* pSharedHandle) {
  if (!ppTexture) return ReportInvalidCall("CreateTexture: null pointer");
  *ppTexture = nullptr;
  if (FAILED(CheckSharedHandle(pSharedHandle, "CreateTexture"))) return D3DERR_INVALIDCALL;
  Texture9* texture = nullptr;
  HRESULT result = Texture9::Create(this, Width, Height, Levels, Usage, Format, Pool, &texture);
  *ppTexture = texture;
  return result;
}

HRESULT Device9::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                    IDirect3DVertexBuffer9** ppVertexBuffer,
                                    HANDLE* pSharedHandle) {
  if (!ppVertexBuffer) return ReportInvalidCall("CreateVertexBuffer: null pointer");
  *ppVertexBuffer = nullptr;
  if (FAILED(CheckSharedHandle(pSharedHandle, "CreateVertexBuffer"))) return D3DERR_INVALIDCALL;
  VertexBuffer9* buffer = nullptr;
  HRESULT result = VertexBuffer9::Create(this, Length, Usage, FVF, Pool, &buffer);
  *ppVertexBuffer = buffer;
  return result;
}

HRESULT Device9::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                   IDirect3DIndexBuffer9** ppIndexBuffer,
                                   HANDLE* pSharedHandle) {
  if (!ppIndexBuffer) return ReportInvalidCall("CreateIndexBuffer: null pointer");
  *ppIndexBuffer = nullptr;
  if (FAILED(CheckSharedHandle(pSharedHandle, "CreateIndexBuffer"))) return D3DERR_INVALIDCALL;
  IndexBuffer9* buffer = nullptr;
  HRESULT result = IndexBuffer9::Create(this, Length, Usage, Format, Pool, &buffer);
  *ppIndexBuffer = buffer;
  return result;
}

HRESULT Device9::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                                    D3DMULTISAMPLE_TYPE MultiSample, DWORD, WINBOOL Lockable,
                                    IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
  if (!ppSurface) return ReportInvalidCall("CreateRenderTarget: null pointer");
  *ppSurface = nullptr;
  if (FAILED(CheckSharedHandle(pSharedHandle, "CreateRenderTarget"))) return D3DERR_INVALIDCALL;
  const FormatInfo* format = FindColorFormat(Format);
  if (!format || !format->renderable)
    return ReportInvalidCall("CreateRenderTarget: format %u cannot be rendered to", Format);
  if (MultiSample != D3DMULTISAMPLE_NONE)
    return ReportInvalidCall("CreateRenderTarget: multisampling is not supported");
  if (!SizeOk(Width, Height))
    return ReportInvalidCall("CreateRenderTarget: size %ux%u is not supported", Width, Height);
  *ppSurface = Surface9::CreateRenderTarget(this, Width, Height, *format, Lockable != 0, false);
  return D3D_OK;
}

HRESULT Device9::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                           D3DMULTISAMPLE_TYPE MultiSample, DWORD, WINBOOL,
                                           IDirect3DSurface9** ppSurface,
                                           HANDLE* pSharedHandle) {
  if (!ppSurface) return ReportInvalidCall("CreateDepthStencilSurface: null pointer");
  *ppSurface = nullptr;
  if (FAILED(CheckSharedHandle(pSharedHandle, "CreateDepthStencilSurface")))
    return D3DERR_INVALIDCALL;
  const FormatInfo* format = FindDepthFormat(Format);
  if (!format)
    return ReportInvalidCall("CreateDepthStencilSurface: format %u is not supported", Format);
  if (MultiSample != D3DMULTISAMPLE_NONE)
    return ReportInvalidCall("CreateDepthStencilSurface: multisampling is not supported");
  if (!SizeOk(Width, Height))
    return ReportInvalidCall("CreateDepthStencilSurface: size %ux%u is not supported", Width,
                             Height);
  *ppSurface = Surface9::CreateDepthStencil(this, Width, Height, *format, false);
  return D3D_OK;
}

HRESULT Device9::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                             D3DPOOL Pool, IDirect3DSurface9** ppSurface,
                                             HANDLE* pSharedHandle) {
  if (!ppSurface) return ReportInvalidCall("CreateOffscreenPlainSurface: null pointer");
  *ppSurface = nullptr;
  if (FAILED(CheckSharedHandle(pSharedHandle, "CreateOffscreenPlainSurface")))
    return D3DERR_INVALIDCALL;
  const FormatInfo* format = FindColorFormat(Format);
  if (!format)
    return ReportInvalidCall("CreateOffscreenPlainSurface: format %u is not supported", Format);
  if (Pool == D3DPOOL_MANAGED || Pool > D3DPOOL_SCRATCH)
    return ReportInvalidCall("CreateOffscreenPlainSurface: pool %u is not allowed", Pool);
  if (!SizeOk(Width, Height))
    return ReportInvalidCall("CreateOffscreenPlainSurface: size %ux%u is not supported", Width,
                             Height);
  *ppSurface = Surface9::CreateSystemMemory(this, Width, Height, *format, Pool);
  return D3D_OK;
}

HRESULT Device9::UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                               IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) {
  auto* source = static_cast<Surface9*>(pSourceSurface);
  auto* destination = static_cast<Surface9*>(pDestinationSurface);
  if (!source || !destination) return ReportInvalidCall("UpdateSurface: null surface");
  if (pSourceRect || pDestPoint)
    return ReportInvalidCall("UpdateSurface: only whole-surface copies are supported");
  if (source->kind() != Surface9::Kind::SystemMemory ||
      destination->kind() != Surface9::Kind::TextureLevel ||
      destination->container()->IsRenderTarget())
    return ReportInvalidCall("UpdateSurface: copies from system memory into a texture level");
  if (source->format().format != destination->format().format ||
      source->width() != destination->width() || source->height() != destination->height())
    return ReportInvalidCall("UpdateSurface: surfaces differ in size or format");
  return destination->container()->WriteLevel(static_cast<UINT>(destination->glLevel()),
                                               source->memory(), source->pitch());
}

HRESULT Device9::UpdateTexture(IDirect3DBaseTexture9* pSourceTexture,
                               IDirect3DBaseTexture9* pDestinationTexture) {
  auto* source = static_cast<Texture9*>(static_cast<IDirect3DTexture9*>(pSourceTexture));
  auto* destination =
      static_cast<Texture9*>(static_cast<IDirect3DTexture9*>(pDestinationTexture));
  if (!source || !destination) return ReportInvalidCall("UpdateTexture: null texture");
  if (source->pool() != D3DPOOL_SYSTEMMEM || destination->pool() != D3DPOOL_DEFAULT)
    return ReportInvalidCall("UpdateTexture: copies from system memory into the default pool");
  if (source->format().format != destination->format().format ||
      source->GetLevelCount() != destination->GetLevelCount() ||
      source->levelWidth(0) != destination->levelWidth(0) ||
      source->levelHeight(0) != destination->levelHeight(0))
    return ReportInvalidCall("UpdateTexture: textures differ in size, levels or format");
  for (UINT level = 0; level < source->GetLevelCount(); ++level) {
    D3DLOCKED_RECT locked{};
    if (FAILED(source->LockRect(level, &locked, nullptr, D3DLOCK_READONLY)))
      return D3DERR_INVALIDCALL;
    HRESULT result = destination->WriteLevel(level, static_cast<const std::uint8_t*>(locked.pBits),
                                             static_cast<UINT>(locked.Pitch));
    source->UnlockRect(level);
    if (FAILED(result)) return result;
  }
  return D3D_OK;
}

HRESULT Device9::GetRenderTargetData(IDirect3DSurface9* pRenderTarget,
                                     IDirect3DSurface9* pDestSurface) {
  auto* target = static_cast<Surface9*>(pRenderTarget);
  auto* destination = static_cast<Surface9*>(pDestSurface);
  if (!target || !destination) return ReportInvalidCall("GetRenderTargetData: null surface");
  if (!target->IsRenderTarget())
    return ReportInvalidCall("GetRenderTargetData: the source is not a render target");
  if (destination->kind() != Surface9::Kind::SystemMemory)
    return ReportInvalidCall("GetRenderTargetData: the destination is not in system memory");
  if (target->format().format != destination->format().format ||
      target->width() != destination->width() || target->height() != destination->height())
    return ReportInvalidCall("GetRenderTargetData: surfaces differ in size or format");
  ReadTarget(target, destination->memory(), destination->pitch());
  return D3D_OK;
}

HRESULT Device9::SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) {
  if (RenderTargetIndex != 0)
    return ReportInvalidCall("SetRenderTarget: only render target 0 exists");
  auto* target = static_cast<Surface9*>(pRenderTarget);
  if (!target) return ReportInvalidCall("SetRenderTarget: render target 0 cannot be null");
  if (!target->IsRenderTarget())
    return ReportInvalidCall("SetRenderTarget: the surface is not a render target");
  renderTarget_.reset(target);
  framebufferDirty_ = true;
  ResetViewportToTarget();
  return D3D_OK;
}

void Device9::ResetViewportToTarget() {
  Surface9* target = renderTarget_.get();
  state_.viewport = D3DVIEWPORT9{0, 0, target->width(), target->height(), 0.0f, 1.0f};
  Touch(kTransformUniforms);
}

HRESULT Device9::GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) {
  if (!ppRenderTarget) return ReportInvalidCall("GetRenderTarget: null pointer");
  *ppRenderTarget = nullptr;
  if (RenderTargetIndex != 0) return D3DERR_NOTFOUND;
  renderTarget_->AddRef();
  *ppRenderTarget = renderTarget_.get();
  return D3D_OK;
}

HRESULT Device9::SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) {
  auto* surface = static_cast<Surface9*>(pNewZStencil);
  if (surface && !surface->IsDepthStencil())
    return ReportInvalidCall("SetDepthStencilSurface: the surface is not a depth-stencil surface");
  depthStencil_.reset(surface);
  framebufferDirty_ = true;
  return D3D_OK;
}

HRESULT Device9::GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) {
  if (!ppZStencilSurface) return ReportInvalidCall("GetDepthStencilSurface: null pointer");
  *ppZStencilSurface = nullptr;
  if (!depthStencil_) return D3DERR_NOTFOUND;
  depthStencil_->AddRef();
  *ppZStencilSurface = depthStencil_.get();
  return D3D_OK;
}
