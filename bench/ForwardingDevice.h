// A device for the scene benchmark that forwards every call to a real device, counts
// the state and draw calls, and in null mode swallows them (returning success), so
// the scene code can be timed without the device's work. Resource creation and every
// query always reach the real device. Generated from the interface declaration.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"

class ForwardingDevice final : public IDirect3DDevice9 {
 public:
  explicit ForwardingDevice(IDirect3DDevice9* real) : real_(real) {}

  HRESULT QueryInterface(REFIID riid, void** object) override {
    return real_->QueryInterface(riid, object);
  }
  ULONG AddRef() override { return 1; }   // lives on the benchmark's stack
  ULONG Release() override { return 1; }

  HRESULT TestCooperativeLevel() override { return real_->TestCooperativeLevel(); }
  UINT GetAvailableTextureMem() override { return real_->GetAvailableTextureMem(); }
  HRESULT EvictManagedResources() override { return real_->EvictManagedResources(); }
  HRESULT GetDirect3D(IDirect3D9** ppD3D9) override { return real_->GetDirect3D(ppD3D9); }
  HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override { return real_->GetDeviceCaps(pCaps); }
  HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override { return real_->GetDisplayMode(iSwapChain, pMode); }
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override { return real_->GetCreationParameters(pParameters); }
  HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride, const RGNDATA* pDirtyRegion) override {
    ++calls;
    return null ? D3D_OK : real_->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion);
  }
  HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface9** ppBackBuffer) override { return real_->GetBackBuffer(iSwapChain, iBackBuffer, Type, ppBackBuffer); }
  HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override { return real_->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture, pSharedHandle); }
  HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool, IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override { return real_->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer, pSharedHandle); }
  HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override { return real_->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer, pSharedHandle); }
  HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Lockable, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override { return real_->CreateRenderTarget(Width, Height, Format, MultiSample, MultisampleQuality, Lockable, ppSurface, pSharedHandle); }
  HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Discard, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override { return real_->CreateDepthStencilSurface(Width, Height, Format, MultiSample, MultisampleQuality, Discard, ppSurface, pSharedHandle); }
  HRESULT UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect, IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) override { return real_->UpdateSurface(pSourceSurface, pSourceRect, pDestinationSurface, pDestPoint); }
  HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture) override {
    ++calls;
    return null ? D3D_OK : real_->UpdateTexture(pSourceTexture, pDestinationTexture);
  }
  HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override { return real_->GetRenderTargetData(pRenderTarget, pDestSurface); }
  HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override { return real_->CreateOffscreenPlainSurface(Width, Height, Format, Pool, ppSurface, pSharedHandle); }
  HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override {
    ++calls;
    return null ? D3D_OK : real_->SetRenderTarget(RenderTargetIndex, pRenderTarget);
  }
  HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override { return real_->GetRenderTarget(RenderTargetIndex, ppRenderTarget); }
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override {
    ++calls;
    return null ? D3D_OK : real_->SetDepthStencilSurface(pNewZStencil);
  }
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override { return real_->GetDepthStencilSurface(ppZStencilSurface); }
  HRESULT BeginScene() override {
    ++calls;
    return null ? D3D_OK : real_->BeginScene();
  }
  HRESULT EndScene() override {
    ++calls;
    return null ? D3D_OK : real_->EndScene();
  }
  HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override {
    ++calls;
    return null ? D3D_OK : real_->Clear(Count, pRects, Flags, Color, Z, Stencil);
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override {
    ++calls;
    return null ? D3D_OK : real_->SetTransform(State, pMatrix);
  }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override { return real_->GetTransform(State, pMatrix); }
  HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override { return real_->MultiplyTransform(State, pMatrix); }
  HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override {
    ++calls;
    return null ? D3D_OK : real_->SetViewport(pViewport);
  }
  HRESULT GetViewport(D3DVIEWPORT9* pViewport) override { return real_->GetViewport(pViewport); }
  HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override {
    ++calls;
    return null ? D3D_OK : real_->SetMaterial(pMaterial);
  }
  HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override { return real_->GetMaterial(pMaterial); }
  HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override {
    ++calls;
    return null ? D3D_OK : real_->SetLight(Index, pLight);
  }
  HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override { return real_->GetLight(Index, pLight); }
  HRESULT LightEnable(DWORD Index, WINBOOL Enable) override {
    ++calls;
    return null ? D3D_OK : real_->LightEnable(Index, Enable);
  }
  HRESULT GetLightEnable(DWORD Index, WINBOOL* pEnable) override { return real_->GetLightEnable(Index, pEnable); }
  HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override {
    ++calls;
    return null ? D3D_OK : real_->SetRenderState(State, Value);
  }
  HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override { return real_->GetRenderState(State, pValue); }
  HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override { return real_->GetTexture(Stage, ppTexture); }
  HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override {
    ++calls;
    return null ? D3D_OK : real_->SetTexture(Stage, pTexture);
  }
  HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override { return real_->GetTextureStageState(Stage, Type, pValue); }
  HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override {
    ++calls;
    return null ? D3D_OK : real_->SetTextureStageState(Stage, Type, Value);
  }
  HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override { return real_->GetSamplerState(Sampler, Type, pValue); }
  HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override {
    ++calls;
    return null ? D3D_OK : real_->SetSamplerState(Sampler, Type, Value);
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override {
    ++calls;
    return null ? D3D_OK : real_->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount);
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex, UINT NumVertices, UINT startIndex, UINT primCount) override {
    ++calls;
    return null ? D3D_OK : real_->DrawIndexedPrimitive(PrimitiveType, BaseVertexIndex, MinVertexIndex, NumVertices, startIndex, primCount);
  }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override {
    ++calls;
    return null ? D3D_OK : real_->DrawPrimitiveUP(PrimitiveType, PrimitiveCount, pVertexStreamZeroData, VertexStreamZeroStride);
  }
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices, UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat, const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override {
    ++calls;
    return null ? D3D_OK : real_->DrawIndexedPrimitiveUP(PrimitiveType, MinVertexIndex, NumVertices, PrimitiveCount, pIndexData, IndexDataFormat, pVertexStreamZeroData, VertexStreamZeroStride);
  }
  HRESULT SetFVF(DWORD FVF) override {
    ++calls;
    return null ? D3D_OK : real_->SetFVF(FVF);
  }
  HRESULT GetFVF(DWORD* pFVF) override { return real_->GetFVF(pFVF); }
  HRESULT SetVertexShader(IDirect3DVertexShader9* pShader) override {
    ++calls;
    return null ? D3D_OK : real_->SetVertexShader(pShader);
  }
  HRESULT GetVertexShader(IDirect3DVertexShader9** ppShader) override { return real_->GetVertexShader(ppShader); }
  HRESULT SetPixelShader(IDirect3DPixelShader9* pShader) override {
    ++calls;
    return null ? D3D_OK : real_->SetPixelShader(pShader);
  }
  HRESULT GetPixelShader(IDirect3DPixelShader9** ppShader) override { return real_->GetPixelShader(ppShader); }
  HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes, UINT Stride) override {
    ++calls;
    return null ? D3D_OK : real_->SetStreamSource(StreamNumber, pStreamData, OffsetInBytes, Stride);
  }
  HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes, UINT* pStride) override { return real_->GetStreamSource(StreamNumber, ppStreamData, pOffsetInBytes, pStride); }
  HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override {
    ++calls;
    return null ? D3D_OK : real_->SetIndices(pIndexData);
  }
  HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override { return real_->GetIndices(ppIndexData); }

  bool null = false;         // swallow state and draw calls
  std::uint64_t calls = 0;   // state and draw calls seen

 private:
  IDirect3DDevice9* real_;  // not owned
};
