#include "platform/d3d9/Direct3D9.h"

#include <SDL.h>

#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/FormatInfo.h"
#include "platform/d3d9/HostSeams.h"
#include "platform/os/oshost.h"

IDirect3D9* Direct3DCreate9(UINT SDKVersion) {
  if (SDKVersion < 31) {
    ReportInvalidCall("Direct3DCreate9: SDK version %u is older than 31", SDKVersion);
    return nullptr;
  }
  return new Direct3D9;
}

HRESULT Direct3D9::QueryInterface(REFIID riid, void** ppvObject) {
  return ComQueryInterface<IDirect3D9>(this, riid, ppvObject, {IID_IUnknown, IID_IDirect3D9});
}

UINT Direct3D9::GetAdapterCount() { return 1; }

namespace {

HRESULT CheckAdapter(UINT adapter, const char* call) {
  if (adapter != D3DADAPTER_DEFAULT)
    return ReportInvalidCall("%s: adapter %u does not exist", call, adapter);
  return D3D_OK;
}

bool IsDisplayFormat(D3DFORMAT format) {
  return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8;
}

}  // namespace

HRESULT Direct3D9::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) {
  if (FAILED(CheckAdapter(Adapter, "GetAdapterDisplayMode"))) return D3DERR_INVALIDCALL;
  if (!pMode) return ReportInvalidCall("GetAdapterDisplayMode: null mode");
  *pMode = D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8};
  if (OsIsHeadless()) return D3D_OK;
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return D3D_OK;
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    pMode->Width = static_cast<UINT>(desktop.w);
    pMode->Height = static_cast<UINT>(desktop.h);
    pMode->RefreshRate = desktop.refresh_rate > 0 ? static_cast<UINT>(desktop.refresh_rate) : 60;
  }
  return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceType(UINT Adapter, D3DDEVTYPE DevType, D3DFORMAT DisplayFormat,
                                   D3DFORMAT BackBufferFormat, WINBOOL) {
  if (FAILED(CheckAdapter(Adapter, "CheckDeviceType"))) return D3DERR_INVALIDCALL;
  if (DevType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (!IsDisplayFormat(DisplayFormat)) return D3DERR_NOTAVAILABLE;
  if (BackBufferFormat != D3DFMT_UNKNOWN && !IsDisplayFormat(BackBufferFormat))
    return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT,
                                     DWORD Usage, D3DRESOURCETYPE RType,
                                     D3DFORMAT CheckFormat) {
  if (FAILED(CheckAdapter(Adapter, "CheckDeviceFormat"))) return D3DERR_INVALIDCALL;
  if (DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (Usage & D3DUSAGE_DEPTHSTENCIL)
    return RType == D3DRTYPE_SURFACE && FindDepthFormat(CheckFormat) ? D3D_OK
                                                                     : D3DERR_NOTAVAILABLE;
  const FormatInfo* info = FindColorFormat(CheckFormat);
  if (!info) return D3DERR_NOTAVAILABLE;
  if ((Usage & D3DUSAGE_RENDERTARGET) && !info->renderable) return D3DERR_NOTAVAILABLE;
  if (RType != D3DRTYPE_TEXTURE && RType != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT Direct3D9::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT,
                                          D3DFORMAT RenderTargetFormat,
                                          D3DFORMAT DepthStencilFormat) {
  if (FAILED(CheckAdapter(Adapter, "CheckDepthStencilMatch"))) return D3DERR_INVALIDCALL;
  if (DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  const FormatInfo* target = FindColorFormat(RenderTargetFormat);
  if (!target || !target->renderable || !FindDepthFormat(DepthStencilFormat))
    return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT Direct3D9::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) {
  if (FAILED(CheckAdapter(Adapter, "GetDeviceCaps"))) return D3DERR_INVALIDCALL;
  if (!pCaps) return ReportInvalidCall("GetDeviceCaps: null caps");
  if (DeviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  *pCaps = d3d9_internal::CurrentCaps();
  return D3D_OK;
}

HRESULT Direct3D9::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                DWORD BehaviorFlags,
                                D3DPRESENT_PARAMETERS* pPresentationParameters,
                                IDirect3DDevice9** ppReturnedDeviceInterface) {
  if (ppReturnedDeviceInterface) *ppReturnedDeviceInterface = nullptr;
  if (FAILED(CheckAdapter(Adapter, "CreateDevice"))) return D3DERR_INVALIDCALL;
  if (DeviceType != D3DDEVTYPE_HAL)
    return ReportError(D3DERR_NOTAVAILABLE, "CreateDevice: only the hardware device exists");
  if (!pPresentationParameters || !ppReturnedDeviceInterface)
    return ReportInvalidCall("CreateDevice: null argument");
  return Device9::Create(this, hFocusWindow, BehaviorFlags, pPresentationParameters,
                         ppReturnedDeviceInterface);
}
