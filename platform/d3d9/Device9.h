// IDirect3DDevice9 over one OpenGL 3.3 core context. Records the full Direct3D 9 state
// with its defaults and at each draw applies to OpenGL only what changed since the
// previous draw: raster state through GlStateCache, a generated program chosen by the
// FixedFunctionKey, uniform groups re-sent only when stale, textures, samplers and
// vertex arrays re-bound only when different. D3D9SetFullStateApply re-applies all of
// it at every draw instead. The back buffer is an off-screen framebuffer of the
// presentation size; Present shows it in the window or, headless, keeps it for reading.
// Owns the context, the back buffer and automatic depth surface, and every GL object.
// Entry thread only.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <memory>

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/FixedFunctionKey.h"
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/GlStateCache.h"
#include "platform/d3d9/Resource9.h"
#include "platform/d3d9/ShaderCache.h"
#include "platform/d3d9/d3d9.h"

class Direct3D9;
class Surface9;
class Texture9;
class VertexBuffer9;
class IndexBuffer9;

class Device9 final : public ComObject<IDirect3DDevice9> {
 public:
  static HRESULT Create(Direct3D9* direct3d, HWND focusWindow, DWORD behaviorFlags,
                        D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device);

  // IUnknown
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;

  // Device (Device9.cpp)
  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT EvictManagedResources() override;
  HRESULT GetDirect3D(IDirect3D9** ppD3D9) override;
  HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override;
  HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
  HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                  const RGNDATA* pDirtyRegion) override;
  HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                        IDirect3DSurface9** ppBackBuffer) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                DWORD Stencil) override;

  // Resources and targets (Device9Resources.cpp)
  HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                        D3DPOOL Pool, IDirect3DTexture9** ppTexture,
                        HANDLE* pSharedHandle) override;
  HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                             IDirect3DVertexBuffer9** ppVertexBuffer,
                             HANDLE* pSharedHandle) override;
  HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                            IDirect3DIndexBuffer9** ppIndexBuffer,
                            HANDLE* pSharedHandle) override;
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

  // State (Device9States.cpp)
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
  HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type,
                               DWORD* pValue) override;
  HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
  HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
  HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
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

  // Draws (Device9Draw.cpp)
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

  // For resources of this device.
  void Activate() { context_->MakeCurrent(); }
  GlStateCache& gl() { return gl_; }
  // Reads a colour target (render target surface or level) into memory laid out as a
  // lock of it would be: rows top first, pitch bytes apart.
  void ReadTarget(Surface9* target, std::uint8_t* destination, UINT pitch);
  // OpenGL work of the frame presented last.
  const GlCallCounts& lastFrameCounts() const { return lastFrame_; }
  // Number of programs generated so far (tests of the state cache).
  std::size_t programCount() const { return shaders_.size(); }

 private:
  Device9(Direct3D9* direct3d, HWND focusWindow, DWORD behaviorFlags,
          const D3DPRESENT_PARAMETERS& params);
  ~Device9();
  HRESULT Initialise(SDL_Window* window);

  // Change tracking.
  void Touch(UniformGroup group) { stamps_[group] = ++clock_; }
  void OnRenderStateChanged(D3DRENDERSTATETYPE state);
  void ResetViewportToTarget();
  // At most one presented frame is left for the renderer to finish.
  void WaitForPreviousFrame();

  // Draw preparation (Device9Draw.cpp).
  HRESULT PrepareDraw(bool points, const struct VertexLayout& layout);
  HRESULT UpdateFramebuffer(bool force);
  GlRasterState ComputeRasterState(bool points) const;
  void UploadUniforms(FixedFunctionProgram& program, bool force);
  // The uniform groups UploadUniforms found stale, one each.
  void UploadTransforms(const FixedFunctionProgram& program);
  void UploadMaterial(const FixedFunctionProgram& program);
  void UploadLights(const FixedFunctionProgram& program);
  void UploadPointSize(const FixedFunctionProgram& program);
  void UploadFragmentConstants(const FixedFunctionProgram& program);
  void BindTextures(bool force);
  void ApplySampler(DWORD stage);
  void BindVertexSource(GLuint buffer, std::size_t offset, UINT stride,
                        const struct VertexLayout& layout, bool force);

  Direct3D9* direct3d_;
  D3DDEVICE_CREATION_PARAMETERS creation_{};
  D3DPRESENT_PARAMETERS params_{};
  std::unique_ptr<GlContext> context_;
  GlStateCache gl_;
  ShaderCache shaders_;
  DeviceState state_;

  Surface9* backBuffer_ = nullptr;        // owned
  Surface9* autoDepthStencil_ = nullptr;  // owned; null without EnableAutoDepthStencil
  BindRef<Surface9> renderTarget_;
  BindRef<Surface9> depthStencil_;
  std::array<BindRef<Texture9>, kStageCount> textures_;
  BindRef<VertexBuffer9> stream_;
  UINT streamOffset_ = 0;
  UINT streamStride_ = 0;
  BindRef<IndexBuffer9> indices_;
  bool inScene_ = false;

  GLuint framebuffer_ = 0;      // draws and clears
  GLuint readFramebuffer_ = 0;  // read-back and present
  GLuint vertexArray_ = 0;
  GLuint upVertexBuffer_ = 0;   // DrawPrimitiveUP data
  GLuint upIndexBuffer_ = 0;
  GLsync frameFence_ = nullptr;  // the frame presented last
  GlCallCounts lastFrame_;
  std::array<GLuint, kStageCount> samplers_{};

  bool framebufferDirty_ = true;
  bool keyDirty_ = true;
  bool lastDrawPoints_ = false;
  DWORD keyFvf_ = ~0u;
  FixedFunctionKey key_{};
  FixedFunctionProgram* program_ = nullptr;
  std::array<std::uint64_t, kUniformGroupCount> stamps_{};
  std::uint64_t clock_ = 0;
  std::array<bool, kStageCount> samplerDirty_{};
  struct AttribSource {
    GLuint buffer = 0;
    std::size_t offset = 0;
    UINT stride = 0;
    DWORD fvf = 0;
    bool valid = false;
  } attribs_;
};
