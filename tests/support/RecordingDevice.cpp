#include "support/RecordingDevice.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/MatrixMath.h"
#include "platform/d3d9/StateRules.h"
#include "platform/d3d9/VertexLayout.h"
#include "support/RecordedResources.h"

void LedgerAdd(RecordingDevice* device, const void* object, std::string description) {
  device->Track(object, std::move(description));
}
void LedgerRemove(RecordingDevice* device, const void* object) { device->Untrack(object); }
IDirect3DDevice9* LedgerDevice(RecordingDevice* device) { return device; }
HRESULT LedgerRefuse(RecordingDevice* device, std::string why) {
  return device->Refuse(std::move(why));
}

namespace {

// Takes or gives back the device's own use of one of its objects; false for an object
// some other device made.
bool Bind(IUnknown* object, bool take) {
  if (!object) return true;
  auto change = [take](auto* recorded) { take ? recorded->AddBind() : recorded->RemoveBind(); };
  if (auto* texture = dynamic_cast<RecordedTexture*>(object))
    change(texture);
  else if (auto* level = dynamic_cast<RecordedLevel*>(object))
    change(level->texture);
  else if (auto* surface = dynamic_cast<RecordedSurface*>(object))
    change(surface);
  else if (auto* vertices = dynamic_cast<RecordedVertexBuffer*>(object))
    change(vertices);
  else if (auto* indices = dynamic_cast<RecordedIndexBuffer*>(object))
    change(indices);
  else
    return false;
  return true;
}

SurfaceMemory* MemoryOf(IDirect3DSurface9* surface) {
  if (auto* level = dynamic_cast<RecordedLevel*>(surface)) return &level->memory;
  if (auto* own = dynamic_cast<RecordedSurface*>(surface)) return &own->memory;
  return nullptr;
}

const std::uint8_t* Bytes(const void* data) { return static_cast<const std::uint8_t*>(data); }

}  // namespace

RecordingDevice::RecordingDevice(UINT width, UINT height, D3DFORMAT depth)
    : width_(width), height_(height) {
  ResetDeviceState(&state, depth != D3DFMT_UNKNOWN, width, height);
  // Implicit surfaces: held by the device alone until handed out.
  auto* back = new RecordedSurface(this, width, height, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET,
                                   D3DPOOL_DEFAULT, false);
  back->AddBind();
  back->Release();
  back->MakeImplicit();
  backBuffer_ = target_ = back;
  back->AddBind();
  if (depth != D3DFMT_UNKNOWN) {
    auto* z = new RecordedSurface(this, width, height, depth, D3DUSAGE_DEPTHSTENCIL,
                                  D3DPOOL_DEFAULT, false);
    z->AddBind();
    z->Release();
    z->MakeImplicit();
    autoDepth_ = depth_ = z;
    z->AddBind();
  }
}

RecordingDevice::~RecordingDevice() {
  for (IDirect3DBaseTexture9*& texture : textures_) Bind(std::exchange(texture, nullptr), false);
  Bind(std::exchange(stream_, nullptr), false);
  Bind(std::exchange(indices_, nullptr), false);
  Bind(std::exchange(target_, nullptr), false);
  Bind(std::exchange(depth_, nullptr), false);
  Bind(std::exchange(backBuffer_, nullptr), false);
  Bind(std::exchange(autoDepth_, nullptr), false);
}

std::size_t RecordingDevice::Count(std::string_view call) const {
  return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), call));
}

void RecordingDevice::ClearRecord() {
  calls.clear();
  draws.clear();
  clears.clear();
  refusals.clear();
}

std::string RecordingDevice::LiveObjects() const {
  std::string text;
  for (const auto& [object, description] : live_) text += description + "\n";
  return text;
}

HRESULT RecordingDevice::Refuse(std::string why) {
  refusals.push_back(std::move(why));
  return D3DERR_INVALIDCALL;
}

HRESULT RecordingDevice::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_FAIL;
  *object = nullptr;
  if (!(riid == IID_IUnknown) && !(riid == IID_IDirect3DDevice9)) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IDirect3DDevice9*>(this);
  return S_OK;
}

ULONG RecordingDevice::AddRef() { return ++refs_; }

ULONG RecordingDevice::Release() {
  if (refs_ == 0) return 0;
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT RecordingDevice::TestCooperativeLevel() { return D3D_OK; }
UINT RecordingDevice::GetAvailableTextureMem() { return 256u << 20; }
HRESULT RecordingDevice::EvictManagedResources() { return D3D_OK; }

// No Direct3D object stands behind this device; callers then ask nothing of one.
HRESULT RecordingDevice::GetDirect3D(IDirect3D9** d3d) {
  if (d3d) *d3d = nullptr;
  return D3DERR_NOTAVAILABLE;
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS9* caps) {
  if (!caps) return Refuse("GetDeviceCaps: null pointer");
  *caps = MakeDefaultCaps();
  return D3D_OK;
}

HRESULT RecordingDevice::GetDisplayMode(UINT, D3DDISPLAYMODE* mode) {
  if (!mode) return Refuse("GetDisplayMode: null pointer");
  *mode = {width_, height_, 60, D3DFMT_X8R8G8B8};
  return D3D_OK;
}

HRESULT RecordingDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
  if (!parameters) return Refuse("GetCreationParameters: null pointer");
  *parameters = {D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING};
  return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT*, const RECT*, HWND, const RGNDATA*) {
  Note("Present");
  if (inScene) return Refuse("Present: inside a scene");
  ++presents;
  return D3D_OK;
}

HRESULT RecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE,
                                       IDirect3DSurface9** surface) {
  if (!surface) return Refuse("GetBackBuffer: null pointer");
  *surface = nullptr;
  if (swapChain != 0 || index != 0) return Refuse("GetBackBuffer: one back buffer only");
  backBuffer_->AddRef();
  *surface = backBuffer_;
  return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                       D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                       HANDLE* shared) {
  Note("CreateTexture");
  if (!texture) return Refuse("CreateTexture: null pointer");
  *texture = nullptr;
  if (shared) return Refuse("CreateTexture: shared resources are not supported");
  if (RecordedBytesPerPixel(format) == 0 || RecordedDepthFormat(format))
    return Refuse("CreateTexture: format " + std::to_string(format) + " is not supported");
  if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize)
    return Refuse("CreateTexture: size not supported");
  if ((usage & D3DUSAGE_RENDERTARGET) &&
      (pool != D3DPOOL_DEFAULT || (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)))
    return Refuse("CreateTexture: this render target cannot be made");
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
    return Refuse("CreateTexture: dynamic textures cannot be managed");
  *texture = new RecordedTexture(this, width, height, levels, usage, format, pool);
  return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
  Note("CreateVertexBuffer");
  if (!buffer) return Refuse("CreateVertexBuffer: null pointer");
  *buffer = nullptr;
  if (shared) return Refuse("CreateVertexBuffer: shared resources are not supported");
  if (length == 0) return Refuse("CreateVertexBuffer: empty buffer");
  *buffer = new RecordedVertexBuffer(this, length, usage, fvf, pool);
  return D3D_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
  Note("CreateIndexBuffer");
  if (!buffer) return Refuse("CreateIndexBuffer: null pointer");
  *buffer = nullptr;
  if (shared) return Refuse("CreateIndexBuffer: shared resources are not supported");
  if (length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
    return Refuse("CreateIndexBuffer: bad length or format");
  *buffer = new RecordedIndexBuffer(this, length, usage, format, pool);
  return D3D_OK;
}

HRESULT RecordingDevice::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                            D3DMULTISAMPLE_TYPE multiSample, DWORD,
                                            WINBOOL lockable, IDirect3DSurface9** surface,
                                            HANDLE* shared) {
  Note("CreateRenderTarget");
  if (!surface) return Refuse("CreateRenderTarget: null pointer");
  *surface = nullptr;
  if (shared || multiSample != D3DMULTISAMPLE_NONE ||
      (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) || width == 0 || height == 0)
    return Refuse("CreateRenderTarget: not supported");
  *surface = new RecordedSurface(this, width, height, format, D3DUSAGE_RENDERTARGET,
                                 D3DPOOL_DEFAULT, lockable != 0);
  return D3D_OK;
}

HRESULT RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                   D3DMULTISAMPLE_TYPE multiSample, DWORD, WINBOOL,
                                                   IDirect3DSurface9** surface, HANDLE* shared) {
  Note("CreateDepthStencilSurface");
  if (!surface) return Refuse("CreateDepthStencilSurface: null pointer");
  *surface = nullptr;
  if (shared || multiSample != D3DMULTISAMPLE_NONE || !RecordedDepthFormat(format) || width == 0 ||
      height == 0)
    return Refuse("CreateDepthStencilSurface: not supported");
  *surface = new RecordedSurface(this, width, height, format, D3DUSAGE_DEPTHSTENCIL,
                                 D3DPOOL_DEFAULT, false);
  return D3D_OK;
}

HRESULT RecordingDevice::UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect,
                                       IDirect3DSurface9* destination, const POINT* point) {
  Note("UpdateSurface");
  SurfaceMemory* from = MemoryOf(source);
  SurfaceMemory* to = MemoryOf(destination);
  if (!from || !to || sourceRect || point || from->desc.Width != to->desc.Width ||
      from->desc.Height != to->desc.Height || from->desc.Format != to->desc.Format ||
      from->desc.Pool != D3DPOOL_SYSTEMMEM || to->desc.Pool != D3DPOOL_DEFAULT)
    return Refuse("UpdateSurface: surfaces do not match");
  to->bytes = from->bytes;
  return D3D_OK;
}

HRESULT RecordingDevice::UpdateTexture(IDirect3DBaseTexture9* source,
                                       IDirect3DBaseTexture9* destination) {
  Note("UpdateTexture");
  auto* from = dynamic_cast<RecordedTexture*>(source);
  auto* to = dynamic_cast<RecordedTexture*>(destination);
  if (!from || !to || from->levels.size() != to->levels.size() ||
      from->levels[0]->memory.desc.Pool != D3DPOOL_SYSTEMMEM ||
      to->levels[0]->memory.desc.Pool != D3DPOOL_DEFAULT)
    return Refuse("UpdateTexture: textures do not match");
  for (std::size_t i = 0; i < from->levels.size(); ++i) {
    const SurfaceMemory& a = from->levels[i]->memory;
    SurfaceMemory& b = to->levels[i]->memory;
    if (a.desc.Width != b.desc.Width || a.desc.Height != b.desc.Height ||
        a.desc.Format != b.desc.Format)
      return Refuse("UpdateTexture: levels do not match");
    b.bytes = a.bytes;
  }
  return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTargetData(IDirect3DSurface9* target,
                                             IDirect3DSurface9* destination) {
  Note("GetRenderTargetData");
  SurfaceMemory* from = MemoryOf(target);
  SurfaceMemory* to = MemoryOf(destination);
  if (!from || !to || !(from->desc.Usage & D3DUSAGE_RENDERTARGET) ||
      to->desc.Pool != D3DPOOL_SYSTEMMEM || from->desc.Width != to->desc.Width ||
      from->desc.Height != to->desc.Height || from->desc.Format != to->desc.Format)
    return Refuse("GetRenderTargetData: surfaces do not match");
  to->bytes = from->bytes;
  return D3D_OK;
}

HRESULT RecordingDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format,
                                                     D3DPOOL pool, IDirect3DSurface9** surface,
                                                     HANDLE* shared) {
  Note("CreateOffscreenPlainSurface");
  if (!surface) return Refuse("CreateOffscreenPlainSurface: null pointer");
  *surface = nullptr;
  if (shared || RecordedBytesPerPixel(format) == 0 || RecordedDepthFormat(format) || width == 0 ||
      height == 0 || pool == D3DPOOL_MANAGED)
    return Refuse("CreateOffscreenPlainSurface: not supported");
  *surface = new RecordedSurface(this, width, height, format, 0, pool, true);
  return D3D_OK;
}

template <class T>
HRESULT RecordingDevice::Rebind(T*& slot, T* object, const char* call) {
  if (!Bind(object, true)) return Refuse(std::string(call) + ": an object of another device");
  Bind(std::exchange(slot, object), false);
  return D3D_OK;
}

HRESULT RecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
  Note("SetRenderTarget");
  if (index != 0 || !surface) return Refuse("SetRenderTarget: one target, never null");
  SurfaceMemory* memory = MemoryOf(surface);
  if (!memory || !(memory->desc.Usage & D3DUSAGE_RENDERTARGET))
    return Refuse("SetRenderTarget: not a render target");
  if (FAILED(Rebind(target_, surface, "SetRenderTarget"))) return D3DERR_INVALIDCALL;
  state.viewport = {0, 0, memory->desc.Width, memory->desc.Height, 0.0f, 1.0f};
  return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
  if (!surface) return Refuse("GetRenderTarget: null pointer");
  *surface = nullptr;
  if (index != 0) return D3DERR_NOTFOUND;
  target_->AddRef();
  *surface = target_;
  return D3D_OK;
}

HRESULT RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* surface) {
  Note("SetDepthStencilSurface");
  SurfaceMemory* memory = MemoryOf(surface);
  if (surface && (!memory || !RecordedDepthFormat(memory->desc.Format)))
    return Refuse("SetDepthStencilSurface: not a depth surface");
  return Rebind(depth_, surface, "SetDepthStencilSurface");
}

HRESULT RecordingDevice::GetDepthStencilSurface(IDirect3DSurface9** surface) {
  if (!surface) return Refuse("GetDepthStencilSurface: null pointer");
  *surface = depth_;
  if (!depth_) return D3DERR_NOTFOUND;
  depth_->AddRef();
  return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
  Note("BeginScene");
  if (inScene) return Refuse("BeginScene: already in a scene");
  inScene = true;
  return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
  Note("EndScene");
  if (!inScene) return Refuse("EndScene: no scene begun");
  inScene = false;
  return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                               float z, DWORD stencil) {
  Note("Clear");
  if (count != 0 && !rects) return Refuse("Clear: a count of rectangles without them");
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depth_)
    return Refuse("Clear: no depth surface to clear");
  clears.push_back({flags, color, z, stencil, target_});
  return D3D_OK;
}

D3DMATRIX* RecordingDevice::TransformSlot(D3DTRANSFORMSTATETYPE type) {
  if (type == D3DTS_WORLD) return &state.world;
  if (type == D3DTS_VIEW) return &state.view;
  if (type == D3DTS_PROJECTION) return &state.projection;
  if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7)
    return &state.texture[type - D3DTS_TEXTURE0];
  return nullptr;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
  Note("SetTransform");
  D3DMATRIX* slot = TransformSlot(type);
  if (!slot || !matrix) return Refuse("SetTransform: unknown transform or null matrix");
  *slot = *matrix;
  return D3D_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
  D3DMATRIX* slot = TransformSlot(type);
  if (!slot || !matrix) return Refuse("GetTransform: unknown transform or null matrix");
  *matrix = *slot;
  return D3D_OK;
}

HRESULT RecordingDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
  Note("MultiplyTransform");
  D3DMATRIX* slot = TransformSlot(type);
  if (!slot || !matrix) return Refuse("MultiplyTransform: unknown transform or null matrix");
  *slot = Multiply(*matrix, *slot);
  return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* viewport) {
  Note("SetViewport");
  if (!viewport) return Refuse("SetViewport: null pointer");
  state.viewport = *viewport;
  return D3D_OK;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* viewport) {
  if (!viewport) return Refuse("GetViewport: null pointer");
  *viewport = state.viewport;
  return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material) {
  Note("SetMaterial");
  if (!material) return Refuse("SetMaterial: null pointer");
  state.material = *material;
  return D3D_OK;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL9* material) {
  if (!material) return Refuse("GetMaterial: null pointer");
  *material = state.material;
  return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
  Note("SetLight");
  if (!light) return Refuse("SetLight: null pointer");
  state.lights[index].light = *light;
  return D3D_OK;
}

// A light never set is not an error to ask about: Direct3D 9 answers INVALIDCALL.
HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT9* light) {
  auto it = state.lights.find(index);
  if (!light || it == state.lights.end()) return D3DERR_INVALIDCALL;
  *light = it->second.light;
  return D3D_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, WINBOOL enable) {
  Note("LightEnable");
  auto it = state.lights.find(index);
  if (it == state.lights.end()) it = state.lights.emplace(index, LightSlot{DefaultLight()}).first;
  it->second.enabled = enable != 0;
  return D3D_OK;
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, WINBOOL* enable) {
  auto it = state.lights.find(index);
  if (!enable || it == state.lights.end()) return D3DERR_INVALIDCALL;
  *enable = it->second.enabled ? TRUE : FALSE;
  return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE type, DWORD value) {
  Note("SetRenderState");
  if (FAILED(CheckRenderState(type, value)))
    return Refuse("SetRenderState " + std::to_string(type) + " = " + std::to_string(value));
  state.render[type] = value;
  return D3D_OK;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE type, DWORD* value) {
  if (!value || static_cast<DWORD>(type) >= kRenderStateCount)
    return Refuse("GetRenderState: unknown state or null pointer");
  *value = state.render[type];
  return D3D_OK;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  if (!texture || stage >= kStageCount) return Refuse("GetTexture: bad stage or null pointer");
  *texture = textures_[stage];
  if (*texture) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  Note("SetTexture");
  if (stage >= kStageCount) return Refuse("SetTexture: stage " + std::to_string(stage));
  return Rebind(textures_[stage], texture, "SetTexture");
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                              DWORD* value) {
  if (!value || stage >= kStageCount || static_cast<DWORD>(type) >= kStageStateCount)
    return Refuse("GetTextureStageState: bad stage, state or pointer");
  *value = state.stage[stage][type];
  return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                              DWORD value) {
  Note("SetTextureStageState");
  if (FAILED(CheckStageState(stage, type, value)))
    return Refuse("SetTextureStageState " + std::to_string(stage) + " " + std::to_string(type) +
                  " = " + std::to_string(value));
  state.stage[stage][type] = value;
  return D3D_OK;
}

HRESULT RecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  if (!value || sampler >= kStageCount || static_cast<DWORD>(type) >= kSamplerStateCount)
    return Refuse("GetSamplerState: bad sampler, state or pointer");
  *value = state.sampler[sampler][type];
  return D3D_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  Note("SetSamplerState");
  if (FAILED(CheckSamplerState(sampler, type, value)))
    return Refuse("SetSamplerState " + std::to_string(sampler) + " " + std::to_string(type) +
                  " = " + std::to_string(value));
  state.sampler[sampler][type] = value;
  return D3D_OK;
}

HRESULT RecordingDevice::RecordDraw(const char* call, D3DPRIMITIVETYPE type, UINT primitives,
                                    UINT stride) {
  Note(call);
  if (!inScene) return Refuse(std::string(call) + ": outside a scene");
  if (primitives == 0 || PrimitiveElementCount(type, primitives) == 0)
    return Refuse(std::string(call) + ": no primitives or unknown type");
  VertexLayout layout;
  switch (CheckDrawVertices(state.fvf, stride, &layout)) {
    case DrawVertexCheck::kUsable:
      break;
    case DrawVertexCheck::kUnknownFormat:
      return Refuse(std::string(call) + ": vertex format " + std::to_string(state.fvf) +
                    " is not supported");
    case DrawVertexCheck::kStrideTooSmall:
      return Refuse(std::string(call) + ": stride " + std::to_string(stride) +
                    " is smaller than the vertex");
  }
  RecordedDraw draw;
  draw.call = call;
  draw.type = type;
  draw.primitives = primitives;
  draw.state = state;
  draw.textures = textures_;
  draw.target = target_;
  draws.push_back(std::move(draw));
  return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT primitives) {
  if (FAILED(RecordDraw("DrawPrimitive", type, primitives, streamStride_))) return D3DERR_INVALIDCALL;
  auto* buffer = dynamic_cast<RecordedVertexBuffer*>(stream_);
  const std::uint64_t first = streamOffset_ + std::uint64_t{start} * streamStride_;
  const std::uint64_t size = std::uint64_t{PrimitiveElementCount(type, primitives)} * streamStride_;
  if (!buffer || streamStride_ == 0 || first + size > buffer->bytes.size()) {
    draws.pop_back();
    return Refuse("DrawPrimitive: reads beyond the vertex buffer");
  }
  RecordedDraw& draw = draws.back();
  draw.stream = stream_;
  draw.stride = streamStride_;
  draw.vertices.assign(buffer->bytes.begin() + static_cast<std::ptrdiff_t>(first),
                       buffer->bytes.begin() + static_cast<std::ptrdiff_t>(first + size));
  return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                              UINT vertexCount, UINT startIndex, UINT primitives) {
  if (FAILED(RecordDraw("DrawIndexedPrimitive", type, primitives, streamStride_))) return D3DERR_INVALIDCALL;
  auto* vertices = dynamic_cast<RecordedVertexBuffer*>(stream_);
  auto* indices = dynamic_cast<RecordedIndexBuffer*>(indices_);
  const std::uint64_t indexSize = indices && indices->desc.Format == D3DFMT_INDEX32 ? 4 : 2;
  const std::uint64_t indexBytes = std::uint64_t{PrimitiveElementCount(type, primitives)} * indexSize;
  const std::int64_t firstVertex = std::int64_t{baseVertex} + minIndex;
  const std::uint64_t vertexStart =
      streamOffset_ + static_cast<std::uint64_t>(firstVertex) * streamStride_;
  const std::uint64_t vertexBytes = std::uint64_t{vertexCount} * streamStride_;
  if (!vertices || !indices || streamStride_ == 0 || firstVertex < 0 ||
      startIndex * indexSize + indexBytes > indices->bytes.size() ||
      vertexStart + vertexBytes > vertices->bytes.size()) {
    draws.pop_back();
    return Refuse("DrawIndexedPrimitive: reads beyond its buffers");
  }
  const std::uint8_t* index = indices->bytes.data() + startIndex * indexSize;
  for (std::uint64_t i = 0; i < indexBytes; i += indexSize) {
    std::uint32_t value = 0;
    std::memcpy(&value, index + i, indexSize);
    if (value < minIndex || value >= std::uint64_t{minIndex} + vertexCount) {
      draws.pop_back();
      return Refuse("DrawIndexedPrimitive: index " + std::to_string(value) +
                    " outside the vertices named");
    }
  }
  RecordedDraw& draw = draws.back();
  draw.stream = stream_;
  draw.stride = streamStride_;
  draw.vertices.assign(
      vertices->bytes.begin() + static_cast<std::ptrdiff_t>(vertexStart),
      vertices->bytes.begin() + static_cast<std::ptrdiff_t>(vertexStart + vertexBytes));
  draw.indices.assign(index, index + indexBytes);
  return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitives, const void* data,
                                         UINT stride) {
  if (FAILED(RecordDraw("DrawPrimitiveUP", type, primitives, stride))) return D3DERR_INVALIDCALL;
  if (!data || stride == 0) {
    draws.pop_back();
    return Refuse("DrawPrimitiveUP: no vertices");
  }
  RecordedDraw& draw = draws.back();
  draw.stride = stride;
  draw.vertices.assign(Bytes(data),
                       Bytes(data) + std::size_t{PrimitiveElementCount(type, primitives)} * stride);
  // Direct3D 9 unbinds stream 0 after a user-pointer draw.
  Bind(std::exchange(stream_, nullptr), false);
  streamOffset_ = streamStride_ = 0;
  return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex,
                                                UINT vertexCount, UINT primitives,
                                                const void* indexData, D3DFORMAT indexFormat,
                                                const void* data, UINT stride) {
  if (FAILED(RecordDraw("DrawIndexedPrimitiveUP", type, primitives, stride))) return D3DERR_INVALIDCALL;
  if (!data || !indexData || stride == 0 ||
      (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32)) {
    draws.pop_back();
    return Refuse("DrawIndexedPrimitiveUP: no vertices or indices");
  }
  const std::size_t indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
  const std::size_t count = PrimitiveElementCount(type, primitives);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t value = 0;
    std::memcpy(&value, Bytes(indexData) + i * indexSize, indexSize);
    if (value < minIndex || value >= std::uint64_t{minIndex} + vertexCount) {
      draws.pop_back();
      return Refuse("DrawIndexedPrimitiveUP: index outside the vertices named");
    }
  }
  RecordedDraw& draw = draws.back();
  draw.stride = stride;
  draw.vertices.assign(Bytes(data) + std::size_t{minIndex} * stride,
                       Bytes(data) + (std::size_t{minIndex} + vertexCount) * stride);
  draw.indices.assign(Bytes(indexData), Bytes(indexData) + count * indexSize);
  Bind(std::exchange(stream_, nullptr), false);
  Bind(std::exchange(indices_, nullptr), false);
  streamOffset_ = streamStride_ = 0;
  return D3D_OK;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf) {
  Note("SetFVF");
  VertexLayout layout;
  if (fvf != 0 && !DecodeFvf(fvf, &layout))
    return Refuse("SetFVF: vertex format " + std::to_string(fvf) + " is not supported");
  state.fvf = fvf;
  return D3D_OK;
}

HRESULT RecordingDevice::GetFVF(DWORD* fvf) {
  if (!fvf) return Refuse("GetFVF: null pointer");
  *fvf = state.fvf;
  return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShader(IDirect3DVertexShader9* shader) {
  Note("SetVertexShader");
  return shader ? Refuse("SetVertexShader: shaders are not offered") : D3D_OK;
}

HRESULT RecordingDevice::GetVertexShader(IDirect3DVertexShader9** shader) {
  if (!shader) return Refuse("GetVertexShader: null pointer");
  *shader = nullptr;
  return D3D_OK;
}

HRESULT RecordingDevice::SetPixelShader(IDirect3DPixelShader9* shader) {
  Note("SetPixelShader");
  return shader ? Refuse("SetPixelShader: shaders are not offered") : D3D_OK;
}

HRESULT RecordingDevice::GetPixelShader(IDirect3DPixelShader9** shader) {
  if (!shader) return Refuse("GetPixelShader: null pointer");
  *shader = nullptr;
  return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                         UINT stride) {
  Note("SetStreamSource");
  if (stream != 0) return Refuse("SetStreamSource: stream " + std::to_string(stream));
  if (FAILED(Rebind(stream_, buffer, "SetStreamSource"))) return D3DERR_INVALIDCALL;
  streamOffset_ = offset;
  streamStride_ = stride;
  return D3D_OK;
}

HRESULT RecordingDevice::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                                         UINT* stride) {
  if (stream != 0 || !buffer || !offset || !stride)
    return Refuse("GetStreamSource: bad stream or null pointer");
  *buffer = stream_;
  if (stream_) stream_->AddRef();
  *offset = streamOffset_;
  *stride = streamStride_;
  return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* buffer) {
  Note("SetIndices");
  return Rebind(indices_, buffer, "SetIndices");
}

HRESULT RecordingDevice::GetIndices(IDirect3DIndexBuffer9** buffer) {
  if (!buffer) return Refuse("GetIndices: null pointer");
  *buffer = indices_;
  if (indices_) indices_->AddRef();
  return D3D_OK;
}
