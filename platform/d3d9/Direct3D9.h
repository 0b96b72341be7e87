// IDirect3D9: the one adapter this layer offers (adapter 0, a hardware device), its
// display mode, its capabilities and device creation. Entry thread only.
#pragma once

#include "platform/d3d9/d3d9.h"

class Direct3D9 final : public ComObject<IDirect3D9> {
 public:
  Direct3D9() = default;

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;

  UINT GetAdapterCount() override;
  HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
  HRESULT CheckDeviceType(UINT Adapter, D3DDEVTYPE DevType, D3DFORMAT DisplayFormat,
                          D3DFORMAT BackBufferFormat, WINBOOL bWindowed) override;
  HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                            DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) override;
  HRESULT CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                 D3DFORMAT RenderTargetFormat,
                                 D3DFORMAT DepthStencilFormat) override;
  HRESULT GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) override;
  HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                       DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                       IDirect3DDevice9** ppReturnedDeviceInterface) override;

 private:
  ~Direct3D9() override = default;
};
