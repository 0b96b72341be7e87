#include "platform/d3d9/Device9.h"

#include <algorithm>
#include <string>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/Direct3D9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/FormatInfo.h"
#include "platform/d3d9/GlDebug.h"
#include "platform/d3d9/GlFlavour.h"
#include "platform/d3d9/GlTranslate.h"
#include "platform/d3d9/HostSeams.h"
#include "platform/d3d9/IndexBuffer9.h"
#include "platform/d3d9/Surface9.h"
#include "platform/d3d9/Texture9.h"
#include "platform/d3d9/VertexBuffer9.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/os/oshost.h"

void DeviceAddRef(Device9* device) { device->AddRef(); }
ULONG DeviceRelease(Device9* device) { return device->Release(); }
void DeviceActivate(Device9* device) { device->Activate(); }
IDirect3DDevice9* DeviceInterface(Device9* device) { return device; }

namespace {

constexpr UINT kMaxBackBufferSize = 8192;

HRESULT CheckBehavior(DWORD flags) {
  constexpr DWORD kProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                D3DCREATE_MIXED_VERTEXPROCESSING;
  constexpr DWORD kKnown =
      kProcessing | D3DCREATE_FPU_PRESERVE | D3DCREATE_MULTITHREADED | D3DCREATE_PUREDEVICE;
  DWORD processing = flags & kProcessing;
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING)
    return ReportInvalidCall("CreateDevice: behaviour flags 0x%x name no single vertex processing",
                             flags);
  if (flags & ~kKnown)
    return ReportInvalidCall("CreateDevice: behaviour flags 0x%x are not supported", flags);
  return D3D_OK;
}

// Fills in what Direct3D derives (window size, desktop format) and checks the rest.
HRESULT ResolveParameters(D3DPRESENT_PARAMETERS* p, HWND window) {
  if (p->Windowed) {
    if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0) {
      RECT client{};
      if (!window || !GetClientRect(window, &client))
        return ReportInvalidCall("CreateDevice: a 0x0 back buffer needs a device window");
      if (p->BackBufferWidth == 0) p->BackBufferWidth = static_cast<UINT>(client.right - client.left);
      if (p->BackBufferHeight == 0)
        p->BackBufferHeight = static_cast<UINT>(client.bottom - client.top);
    }
    if (p->BackBufferFormat == D3DFMT_UNKNOWN) p->BackBufferFormat = D3DFMT_X8R8G8B8;
  }
  if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0 ||
      p->BackBufferWidth > kMaxBackBufferSize || p->BackBufferHeight > kMaxBackBufferSize)
    return ReportInvalidCall("CreateDevice: back buffer size %ux%u is not supported",
                             p->BackBufferWidth, p->BackBufferHeight);
  if (p->BackBufferFormat != D3DFMT_X8R8G8B8 && p->BackBufferFormat != D3DFMT_A8R8G8B8)
    return ReportInvalidCall("CreateDevice: back buffer format %u is not supported",
                             p->BackBufferFormat);
  if (p->BackBufferCount > 1)
    return ReportInvalidCall("CreateDevice: %u back buffers; one is supported",
                             p->BackBufferCount);
  if (p->BackBufferCount == 0) p->BackBufferCount = 1;
  if (p->MultiSampleType != D3DMULTISAMPLE_NONE)
    return ReportInvalidCall("CreateDevice: multisampling is not supported");
  if (p->SwapEffect < D3DSWAPEFFECT_DISCARD || p->SwapEffect > D3DSWAPEFFECT_COPY)
    return ReportInvalidCall("CreateDevice: swap effect %u is not supported", p->SwapEffect);
  if (p->EnableAutoDepthStencil && !FindDepthFormat(p->AutoDepthStencilFormat))
    return ReportInvalidCall("CreateDevice: depth-stencil format %u is not supported",
                             p->AutoDepthStencilFormat);
  if (p->Flags & ~(D3DPRESENTFLAG_LOCKABLE_BACKBUFFER | D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL))
    return ReportInvalidCall("CreateDevice: presentation flags 0x%x are not supported", p->Flags);
  if (p->PresentationInterval != D3DPRESENT_INTERVAL_DEFAULT &&
      p->PresentationInterval != D3DPRESENT_INTERVAL_ONE &&
      p->PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE)
    return ReportInvalidCall("CreateDevice: presentation interval 0x%x is not supported",
                             p->PresentationInterval);
  return D3D_OK;
}

}  // namespace

HRESULT Device9::Create(Direct3D9* direct3d, HWND focusWindow, DWORD behaviorFlags,
                        D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) {
  if (FAILED(CheckBehavior(behaviorFlags))) return D3DERR_INVALIDCALL;
  HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
  D3DPRESENT_PARAMETERS resolved = *params;
  HRESULT result = ResolveParameters(&resolved, window);
  if (FAILED(result)) return result;
  if (const auto& filter = d3d9_internal::CreateDeviceFilter()) {
    result = filter(resolved, behaviorFlags);
    if (FAILED(result)) return result;
  }
  SDL_Window* sdlWindow = window && !OsIsHeadless() ? OsGetSdlWindow(window) : nullptr;
  auto* created = new Device9(direct3d, focusWindow, behaviorFlags, resolved);
  result = created->Initialise(sdlWindow);
  if (FAILED(result)) {
    created->Release();
    return result;
  }
  *params = resolved;
  *device = created;
  return D3D_OK;
}

Device9::Device9(Direct3D9* direct3d, HWND focusWindow, DWORD behaviorFlags,
                 const D3DPRESENT_PARAMETERS& params)
    : direct3d_(direct3d), params_(params) {
  direct3d_->AddRef();
  creation_ = D3DDEVICE_CREATION_PARAMETERS{D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, focusWindow,
                                            behaviorFlags};
}

HRESULT Device9::Initialise(SDL_Window* window) {
  std::string error;
  const bool checks = D3D9GlChecks();
  context_ = GlContext::Create(window, checks, &error);
  if (!context_ && window) {
    ReportError(D3D_OK, "no OpenGL on the window (%s); drawing headless", error.c_str());
    context_ = GlContext::Create(nullptr, checks, &error);
  }
  if (!context_)
    return ReportError(D3DERR_NOTAVAILABLE,
                       "CreateDevice: no OpenGL 3.3 context: %s (is the system's OpenGL/EGL "
                       "driver installed, e.g. Mesa's libegl-mesa0 and libgl1-mesa-dri?)",
                       error.c_str());
  Activate();
  if (checks && !InstallGlErrorChecks())
    ReportError(D3D_OK, "the OpenGL driver has no debug output: OpenGL errors go unchecked");
  gl_.Initialise();
  glGenFramebuffers(1, &framebuffer_);
  glGenFramebuffers(1, &readFramebuffer_);
  glGenVertexArrays(1, &vertexArray_);
  glBindVertexArray(vertexArray_);
  glGenBuffers(1, &upVertexBuffer_);
  glGenBuffers(1, &upIndexBuffer_);
  glGenSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
  // Values read for elements a vertex does not have.
  glVertexAttrib4f(3, 1.0f, 1.0f, 1.0f, 1.0f);  // diffuse: white
  glVertexAttrib4f(4, 0.0f, 0.0f, 0.0f, 0.0f);  // specular: none
  samplerDirty_.fill(true);

  const FormatInfo* format = FindColorFormat(params_.BackBufferFormat);
  backBuffer_ = Surface9::CreateRenderTarget(
      this, params_.BackBufferWidth, params_.BackBufferHeight, *format,
      (params_.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0, true);
  if (params_.EnableAutoDepthStencil)
    autoDepthStencil_ =
        Surface9::CreateDepthStencil(this, params_.BackBufferWidth, params_.BackBufferHeight,
                                     *FindDepthFormat(params_.AutoDepthStencilFormat), true);
  renderTarget_.reset(backBuffer_);
  depthStencil_.reset(autoDepthStencil_);
  ResetDeviceState(&state_, params_.EnableAutoDepthStencil != 0, params_.BackBufferWidth,
                   params_.BackBufferHeight);
  for (UniformGroup group : {kTransformUniforms, kTextureMatrixUniforms, kMaterialUniforms,
                             kLightUniforms, kPointUniforms, kFragmentUniforms})
    Touch(group);

  // A new back buffer starts black, with depth cleared.
  UpdateFramebuffer(true);
  gl_.SetColorMask({true, true, true, true});
  gl_.SetDepthMask(true);
  gl_.SetStencilWriteMask(0xFFFFFFFFu);
  gl_.SetScissor(false, {0, 0, 0, 0});
  gl_.SetClearColor({0.0f, 0.0f, 0.0f, 1.0f});
  gl_.SetClearDepth(1.0);
  gl_.SetClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | (autoDepthStencil_ ? GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT
                                                   : 0));
  return D3D_OK;
}

Device9::~Device9() {
  if (context_) {
    Activate();
    for (auto& texture : textures_) texture.reset();
    stream_.reset();
    indices_.reset();
    renderTarget_.reset();
    depthStencil_.reset();
    if (backBuffer_) backBuffer_->DestroyOwned();
    if (autoDepthStencil_) autoDepthStencil_->DestroyOwned();
    shaders_.Clear();
    if (frameFence_) glDeleteSync(frameFence_);
    glDeleteSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
    glDeleteBuffers(1, &upVertexBuffer_);
    glDeleteBuffers(1, &upIndexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteFramebuffers(1, &readFramebuffer_);
    glFinish();  // the renderer's worker threads go idle before the context goes
    context_.reset();
  }
  direct3d_->Release();
}

HRESULT Device9::QueryInterface(REFIID riid, void** ppvObject) {
  return ComQueryInterface<IDirect3DDevice9>(this, riid, ppvObject,
                                             {IID_IUnknown, IID_IDirect3DDevice9});
}

HRESULT Device9::TestCooperativeLevel() { return D3D_OK; }

UINT Device9::GetAvailableTextureMem() { return 512u << 20; }

HRESULT Device9::EvictManagedResources() { return D3D_OK; }

HRESULT Device9::GetDirect3D(IDirect3D9** ppD3D9) {
  if (!ppD3D9) return ReportInvalidCall("GetDirect3D: null pointer");
  direct3d_->AddRef();
  *ppD3D9 = direct3d_;
  return D3D_OK;
}

HRESULT Device9::GetDeviceCaps(D3DCAPS9* pCaps) {
  if (!pCaps) return ReportInvalidCall("GetDeviceCaps: null caps");
  *pCaps = d3d9_internal::CurrentCaps();
  return D3D_OK;
}

HRESULT Device9::GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) {
  if (iSwapChain != 0 || !pMode) return ReportInvalidCall("GetDisplayMode: bad argument");
  if (!params_.Windowed) {
    *pMode = D3DDISPLAYMODE{params_.BackBufferWidth, params_.BackBufferHeight,
                            params_.FullScreen_RefreshRateInHz, params_.BackBufferFormat};
    return D3D_OK;
  }
  return direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, pMode);
}

HRESULT Device9::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) {
  if (!pParameters) return ReportInvalidCall("GetCreationParameters: null pointer");
  *pParameters = creation_;
  return D3D_OK;
}

HRESULT Device9::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                               IDirect3DSurface9** ppBackBuffer) {
  if (!ppBackBuffer) return ReportInvalidCall("GetBackBuffer: null pointer");
  *ppBackBuffer = nullptr;
  if (iSwapChain != 0 || iBackBuffer != 0 || Type != D3DBACKBUFFER_TYPE_MONO)
    return ReportInvalidCall("GetBackBuffer: only swap chain 0, back buffer 0 exists");
  backBuffer_->AddRef();
  *ppBackBuffer = backBuffer_;
  return D3D_OK;
}

HRESULT Device9::BeginScene() {
  if (inScene_) return ReportInvalidCall("BeginScene: already in a scene");
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device9::EndScene() {
  if (!inScene_) return ReportInvalidCall("EndScene: no scene was begun");
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device9::Present(const RECT* pSourceRect, const RECT* pDestRect,
                         HWND hDestWindowOverride, const RGNDATA* pDirtyRegion) {
  if (pSourceRect || pDestRect || hDestWindowOverride || pDirtyRegion)
    return ReportInvalidCall("Present: only Present(NULL, NULL, NULL, NULL) is supported");
  Activate();
  if (context_->HasWindow()) {
    int windowWidth = 0, windowHeight = 0;
    context_->DrawableSize(&windowWidth, &windowHeight);
    gl_.BindReadFramebuffer(readFramebuffer_);
    gl_.AttachReadTexture(backBuffer_->glTexture(), 0);
    gl_.BindDrawFramebuffer(0);
    gl_.SetScissor(false, {0, 0, 0, 0});
    gl_.SetColorMask({true, true, true, true});
    gl_.SetClearColor({0.0f, 0.0f, 0.0f, 1.0f});
    glClear(GL_COLOR_BUFFER_BIT);
    // Scaled to fit with its aspect kept; the rest stays black.
    double bw = params_.BackBufferWidth, bh = params_.BackBufferHeight;
    double scale = std::min(windowWidth / bw, windowHeight / bh);
    int w = static_cast<int>(bw * scale + 0.5), h = static_cast<int>(bh * scale + 0.5);
    int x = (windowWidth - w) / 2, y = (windowHeight - h) / 2;
    // Stored top-down; the window's rows count from the bottom.
    glBlitFramebuffer(0, 0, static_cast<GLint>(bw), static_cast<GLint>(bh), x, y + h, x + w, y,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    context_->SwapWindow(params_.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE);
  }
  WaitForPreviousFrame();
  lastFrame_ = gl_.TakeCounts();
  if (const auto& observer = d3d9_internal::PresentObserver()) observer(this);
  return D3D_OK;
}

void Device9::WaitForPreviousFrame() {
  GlPaceFrames(&frameFence_);
}

HRESULT Device9::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                       DWORD Stencil) {
  if (Flags == 0 || (Flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
    return ReportInvalidCall("Clear: flags 0x%x", Flags);
  if (Count > 0 && !pRects) return ReportInvalidCall("Clear: %u rectangles but no list", Count);
  Surface9* depth = depthStencil_.get();
  if ((Flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depth)
    return ReportInvalidCall("Clear: no depth-stencil surface to clear");
  if ((Flags & D3DCLEAR_STENCIL) && !depth->format().stencil)
    return ReportInvalidCall("Clear: the depth surface has no stencil");
  if ((Flags & D3DCLEAR_ZBUFFER) && !(Z >= 0.0f && Z <= 1.0f))
    return ReportInvalidCall("Clear: depth %g is outside 0..1", static_cast<double>(Z));

  Activate();
  if (FAILED(UpdateFramebuffer(D3D9FullStateApply()))) return D3DERR_INVALIDCALL;
  GLbitfield bits = 0;
  if (Flags & D3DCLEAR_TARGET) {
    bits |= GL_COLOR_BUFFER_BIT;
    gl_.SetColorMask({true, true, true, true});
    gl_.SetClearColor(ToGlColor(Color));
  }
  if (Flags & D3DCLEAR_ZBUFFER) {
    bits |= GL_DEPTH_BUFFER_BIT;
    gl_.SetDepthMask(true);
    gl_.SetClearDepth(Z);
  }
  // A format without stencil keeps none worth preserving: clearing both halves of the
  // packed buffer at once is the renderer's fast path.
  bool stencilToo = (Flags & D3DCLEAR_STENCIL) ||
                    ((Flags & D3DCLEAR_ZBUFFER) && !depth->format().stencil &&
                     depth->format().internalFormat == GL_DEPTH24_STENCIL8);
  if (stencilToo) {
    bits |= GL_STENCIL_BUFFER_BIT;
    gl_.SetStencilWriteMask(0xFFFFFFFFu);
    gl_.SetClearStencil(static_cast<GLint>(Stencil & 0xFF));
  }
  // Clears cover the viewport, or the given rectangles within it.
  const D3DVIEWPORT9& vp = state_.viewport;
  Surface9* target = renderTarget_.get();
  LONG vx0 = static_cast<LONG>(vp.X), vy0 = static_cast<LONG>(vp.Y);
  LONG vx1 = vx0 + static_cast<LONG>(vp.Width), vy1 = vy0 + static_cast<LONG>(vp.Height);
  auto clearBox = [&](LONG x0, LONG y0, LONG x1, LONG y1) {
    x0 = std::max(x0, vx0);
    y0 = std::max(y0, vy0);
    x1 = std::min(x1, vx1);
    y1 = std::min(y1, vy1);
    if (x0 >= x1 || y0 >= y1) return;
    bool whole = x0 == 0 && y0 == 0 && x1 == static_cast<LONG>(target->width()) &&
                 y1 == static_cast<LONG>(target->height());
    gl_.SetScissor(!whole, {x0, y0, x1 - x0, y1 - y0});
    glClear(bits);
  };
  if (Count == 0) {
    clearBox(vx0, vy0, vx1, vy1);
  } else {
    for (DWORD i = 0; i < Count; ++i) clearBox(pRects[i].x1, pRects[i].y1, pRects[i].x2, pRects[i].y2);
  }
  return D3D_OK;
}

void Device9::ReadTarget(Surface9* target, std::uint8_t* destination, UINT pitch) {
  Activate();
  const FormatInfo& format = target->format();
  gl_.BindReadFramebuffer(readFramebuffer_);
  gl_.AttachReadTexture(target->glTexture(), static_cast<GLint>(target->glLevel()));
  gl_.SetPackRowLength(static_cast<GLint>(pitch / format.bytesPerPixel));
  glReadPixels(0, 0, static_cast<GLsizei>(target->width()), static_cast<GLsizei>(target->height()),
               format.uploadFormat, format.uploadType, destination);
  gl_.SetPackRowLength(0);
  FinishReadback(format, destination, pitch, target->width(), target->height());
  if (!format.hasAlpha && format.bytesPerPixel == 4) {
    // X8R8G8B8: the unused byte reads back as 0xFF.
    for (UINT row = 0; row < target->height(); ++row) {
      std::uint8_t* p = destination + static_cast<std::size_t>(row) * pitch;
      for (UINT x = 0; x < target->width(); ++x) p[4 * x + 3] = 0xFF;
    }
  }
}
