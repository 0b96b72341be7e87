// A device that hands every call to a real one: tests derive from it to watch or
// refuse chosen calls while the real device renders, and the scene benchmark counts
// the state and draw calls with it or swallows them (returning success) to time the
// scene code without the device's work. Resource creation and every query always
// reach the real device.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

class ForwardingDevice : public IDirect3DDevice9 {
 public:
  explicit ForwardingDevice(IDirect3DDevice9* inner) : inner(inner) {}  // lent
  virtual ~ForwardingDevice() = default;

  // Lifetime belongs to the test; the count only mirrors the calls.
  HRESULT QueryInterface(REFIID, void** object) override {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return references > 0 ? --references : 0; }

  HRESULT TestCooperativeLevel() override { return inner->TestCooperativeLevel(); }
  UINT GetAvailableTextureMem() override { return inner->GetAvailableTextureMem(); }
  HRESULT EvictManagedResources() override { return inner->EvictManagedResources(); }
  HRESULT GetDirect3D(IDirect3D9** ppD3D9) override { return inner->GetDirect3D(ppD3D9); }
  HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override { return inner->GetDeviceCaps(pCaps); }
  HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override { return inner->GetDisplayMode(iSwapChain, pMode); }
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override { return inner->GetCreationParameters(pParameters); }
  HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride, const RGNDATA* pDirtyRegion) override { return Pass() ? inner->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion) : D3D_OK; }
  HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface9** ppBackBuffer) override { return inner->GetBackBuffer(iSwapChain, iBackBuffer, Type, ppBackBuffer); }
  HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override { return inner->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture, pSharedHandle); }
  HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool, IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override { return inner->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer, pSharedHandle); }
  HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override { return inner->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer, pSharedHandle); }
  HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Lockable, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override { return inner->CreateRenderTarget(Width, Height, Format, MultiSample, MultisampleQuality, Lockable, ppSurface, pSharedHandle); }
  HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Discard, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override { return inner->CreateDepthStencilSurface(Width, Height, Format, MultiSample, MultisampleQuality, Discard, ppSurface, pSharedHandle); }
  HRESULT UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect, IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) override { return inner->UpdateSurface(pSourceSurface, pSourceRect, pDestinationSurface, pDestPoint); }
  HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture) override { return Pass() ? inner->UpdateTexture(pSourceTexture, pDestinationTexture) : D3D_OK; }
  HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override { return inner->GetRenderTargetData(pRenderTarget, pDestSurface); }
  HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override { return inner->CreateOffscreenPlainSurface(Width, Height, Format, Pool, ppSurface, pSharedHandle); }
  HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override { return Pass() ? inner->SetRenderTarget(RenderTargetIndex, pRenderTarget) : D3D_OK; }
  HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override { return inner->GetRenderTarget(RenderTargetIndex, ppRenderTarget); }
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override { return Pass() ? inner->SetDepthStencilSurface(pNewZStencil) : D3D_OK; }
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override { return inner->GetDepthStencilSurface(ppZStencilSurface); }
  HRESULT BeginScene() override { return Pass() ? inner->BeginScene() : D3D_OK; }
  HRESULT EndScene() override { return Pass() ? inner->EndScene() : D3D_OK; }
  HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override { return Pass() ? inner->Clear(Count, pRects, Flags, Color, Z, Stencil) : D3D_OK; }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override { return Pass() ? inner->SetTransform(State, pMatrix) : D3D_OK; }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override { return inner->GetTransform(State, pMatrix); }
  HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override { return inner->MultiplyTransform(State, pMatrix); }
  HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override { return Pass() ? inner->SetViewport(pViewport) : D3D_OK; }
  HRESULT GetViewport(D3DVIEWPORT9* pViewport) override { return inner->GetViewport(pViewport); }
  HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override { return Pass() ? inner->SetMaterial(pMaterial) : D3D_OK; }
  HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override { return inner->GetMaterial(pMaterial); }
  HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override { return Pass() ? inner->SetLight(Index, pLight) : D3D_OK; }
  HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override { return inner->GetLight(Index, pLight); }
  HRESULT LightEnable(DWORD Index, WINBOOL Enable) override { return Pass() ? inner->LightEnable(Index, Enable) : D3D_OK; }
  HRESULT GetLightEnable(DWORD Index, WINBOOL* pEnable) override { return inner->GetLightEnable(Index, pEnable); }
  HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override { return Pass() ? inner->SetRenderState(State, Value) : D3D_OK; }
  HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override { return inner->GetRenderState(State, pValue); }
  HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override { return inner->GetTexture(Stage, ppTexture); }
  HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override { return Pass() ? inner->SetTexture(Stage, pTexture) : D3D_OK; }
  HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override { return inner->GetTextureStageState(Stage, Type, pValue); }
  HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override { return Pass() ? inner->SetTextureStageState(Stage, Type, Value) : D3D_OK; }
  HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override { return inner->GetSamplerState(Sampler, Type, pValue); }
  HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override { return Pass() ? inner->SetSamplerState(Sampler, Type, Value) : D3D_OK; }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override { return Pass() ? inner->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount) : D3D_OK; }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex, UINT NumVertices, UINT startIndex, UINT primCount) override { return Pass() ? inner->DrawIndexedPrimitive(PrimitiveType, BaseVertexIndex, MinVertexIndex, NumVertices, startIndex, primCount) : D3D_OK; }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override { return Pass() ? inner->DrawPrimitiveUP(PrimitiveType, PrimitiveCount, pVertexStreamZeroData, VertexStreamZeroStride) : D3D_OK; }
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices, UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat, const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override { return Pass() ? inner->DrawIndexedPrimitiveUP(PrimitiveType, MinVertexIndex, NumVertices, PrimitiveCount, pIndexData, IndexDataFormat, pVertexStreamZeroData, VertexStreamZeroStride) : D3D_OK; }
  HRESULT SetFVF(DWORD FVF) override { return Pass() ? inner->SetFVF(FVF) : D3D_OK; }
  HRESULT GetFVF(DWORD* pFVF) override { return inner->GetFVF(pFVF); }
  HRESULT SetVertexShader(IDirect3DVertexShader9* pShader) override { return Pass() ? inner->SetVertexShader(pShader) : D3D_OK; }
  HRESULT GetVertexShader(IDirect3DVertexShader9** ppShader) override { return inner->GetVertexShader(ppShader); }
  HRESULT SetPixelShader(IDirect3DPixelShader9* pShader) override { return Pass() ? inner->SetPixelShader(pShader) : D3D_OK; }
  HRESULT GetPixelShader(IDirect3DPixelShader9** ppShader) override { return inner->GetPixelShader(ppShader); }
  HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes, UINT Stride) override { return Pass() ? inner->SetStreamSource(StreamNumber, pStreamData, OffsetInBytes, Stride) : D3D_OK; }
  HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes, UINT* pStride) override { return inner->GetStreamSource(StreamNumber, ppStreamData, pOffsetInBytes, pStride); }
  HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override { return Pass() ? inner->SetIndices(pIndexData) : D3D_OK; }
  HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override { return inner->GetIndices(ppIndexData); }

  IDirect3DDevice9* inner;
  ULONG references = 1;
  bool swallow = false;         // state and draw calls return success unseen
  std::uint64_t commands = 0;   // state and draw calls seen

 private:
  bool Pass() {
    ++commands;
    return !swallow;
  }
};
