// A Direct3D 9 device for the show code's tests that renders nothing: it keeps the
// state it is given (with Direct3D 9's defaults, read back through the Get calls),
// the name of every call in order, every draw with the state it drew under and the
// vertices it read, every clear, and the resources it made with their bytes. It
// refuses what the platform's device refuses (unsupported state values and formats)
// and what Direct3D 9 forbids (draws outside a scene, nested scenes, reads beyond a
// buffer, locking a texture the application may not lock); each refusal is noted in
// `refusals`. References are counted as by the platform's device, so a test ends by
// releasing the device to zero (ReleaseToZero in support/DeviceReferences.h).
// Not here: pixels; a test that checks pixels uses the headless device. Entry thread only.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/d3d9.h"

struct RecordedDraw {
  std::string call;  // DrawPrimitive, DrawIndexedPrimitive, DrawPrimitiveUP, ...
  D3DPRIMITIVETYPE type{};
  UINT primitives = 0;
  DeviceState state;  // fvf, render, stage and sampler states, transforms, lights
  std::array<IDirect3DBaseTexture9*, kStageCount> textures{};
  IDirect3DSurface9* target = nullptr;
  IDirect3DVertexBuffer9* stream = nullptr;  // null for the user-pointer draws
  UINT stride = 0;
  // The vertices the draw read (from MinVertexIndex on, for indexed draws), and the
  // 16-bit or 32-bit indices.
  std::vector<std::uint8_t> vertices;
  std::vector<std::uint8_t> indices;
};

struct RecordedClear {
  DWORD flags;
  D3DCOLOR color;
  float z;
  DWORD stencil;
  IDirect3DSurface9* target;
};

class RecordingDevice final : public IDirect3DDevice9 {
 public:
  // One reference, the caller's. `depth` D3DFMT_UNKNOWN: no automatic depth surface.
  explicit RecordingDevice(UINT width = 1024, UINT height = 768, D3DFORMAT depth = D3DFMT_D24S8);
  RecordingDevice(const RecordingDevice&) = delete;
  RecordingDevice& operator=(const RecordingDevice&) = delete;

  // What was asked of the device.
  std::vector<std::string> calls;
  std::vector<RecordedDraw> draws;
  std::vector<RecordedClear> clears;
  std::vector<std::string> refusals;
  DeviceState state;
  UINT presents = 0;
  bool inScene = false;

  std::size_t Count(std::string_view call) const;
  // Forgets the calls, draws, clears and refusals so far; state and resources stay.
  void ClearRecord();
  ULONG references() const { return refs_; }
  // The objects the device made that are still alive, one a line.
  std::string LiveObjects() const;
  std::size_t liveObjectCount() const { return live_.size(); }
  IDirect3DBaseTexture9* texture(DWORD stage) const {
    return stage < kStageCount ? textures_[stage] : nullptr;
  }
  IDirect3DSurface9* renderTarget() const { return target_; }

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT EvictManagedResources() override;
  HRESULT GetDirect3D(IDirect3D9** ppD3D9) override;
  HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override;
  HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
  HRESULT Present(const RECT*, const RECT*, HWND, const RGNDATA*) override;
  HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                        IDirect3DSurface9** ppBackBuffer) override;
  HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                        D3DPOOL Pool, IDirect3DTexture9** ppTexture,
                        HANDLE* pSharedHandle) override;
  HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                             IDirect3DVertexBuffer9** ppVertexBuffer,
                             HANDLE* pSharedHandle) override;
  HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                            IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override;
  HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format,
                             D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality,
                             WINBOOL Lockable, IDirect3DSurface9** ppSurface,
                             HANDLE* pSharedHandle) override;
  HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                    D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality,
                                    WINBOOL Discard, IDirect3DSurface9** ppSurface,
                                    HANDLE* pSharedHandle) override;
  HRESULT UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                        IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) override;
  HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture,
                        IDirect3DBaseTexture9* pDestinationTexture) override;
  HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget,
                              IDirect3DSurface9* pDestSurface) override;
  HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                      IDirect3DSurface9** ppSurface,
                                      HANDLE* pSharedHandle) override;
  HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override;
  HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override;
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                DWORD Stencil) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
  HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
  HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* pViewport) override;
  HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override;
  HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override;
  HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override;
  HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override;
  HRESULT LightEnable(DWORD Index, WINBOOL Enable) override;
  HRESULT GetLightEnable(DWORD Index, WINBOOL* pEnable) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
  HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override;
  HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
  HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
  HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
  HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
  HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                        UINT PrimitiveCount) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex,
                               UINT MinVertexIndex, UINT NumVertices, UINT startIndex,
                               UINT primCount) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                          const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex,
                                 UINT NumVertices, UINT PrimitiveCount, const void* pIndexData,
                                 D3DFORMAT IndexDataFormat, const void* pVertexStreamZeroData,
                                 UINT VertexStreamZeroStride) override;
  HRESULT SetFVF(DWORD FVF) override;
  HRESULT GetFVF(DWORD* pFVF) override;
  HRESULT SetVertexShader(IDirect3DVertexShader9* pShader) override;
  HRESULT GetVertexShader(IDirect3DVertexShader9** ppShader) override;
  HRESULT SetPixelShader(IDirect3DPixelShader9* pShader) override;
  HRESULT GetPixelShader(IDirect3DPixelShader9** ppShader) override;
  HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData,
                          UINT OffsetInBytes, UINT Stride) override;
  HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData,
                          UINT* pOffsetInBytes, UINT* pStride) override;
  HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override;
  HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override;

  // The ledger the device's objects keep (support/RecordedObject.h).
  void Track(const void* object, std::string description) {
    live_[object] = std::move(description);
  }
  void Untrack(const void* object) { live_.erase(object); }
  HRESULT Refuse(std::string why);

 private:
  ~RecordingDevice() override;
  void Note(const char* call) { calls.emplace_back(call); }
  D3DMATRIX* TransformSlot(D3DTRANSFORMSTATETYPE type);
  // Swaps a binding, holding the new object and letting go of the old one.
  template <class T>
  HRESULT Rebind(T*& slot, T* object, const char* call);
  HRESULT RecordDraw(const char* call, D3DPRIMITIVETYPE type, UINT primitives, UINT stride);

  ULONG refs_ = 1;
  UINT width_, height_;
  std::map<const void*, std::string> live_;
  std::array<IDirect3DBaseTexture9*, kStageCount> textures_{};
  IDirect3DVertexBuffer9* stream_ = nullptr;
  UINT streamOffset_ = 0, streamStride_ = 0;
  IDirect3DIndexBuffer9* indices_ = nullptr;
  IDirect3DSurface9* backBuffer_ = nullptr;
  IDirect3DSurface9* autoDepth_ = nullptr;
  IDirect3DSurface9* target_ = nullptr;
  IDirect3DSurface9* depth_ = nullptr;
};
