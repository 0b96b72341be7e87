// Internal side of the host seams declared in d3d9host.h: what the device and the
// Direct3D object read back. Entry thread only.
#pragma once

#include <functional>

#include "platform/d3d9/d3d9.h"

namespace d3d9_internal {

// The present observer, or an empty function.
const std::function<void(IDirect3DDevice9*)>& PresentObserver();

// The create-device filter, or an empty function.
const std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD)>& CreateDeviceFilter();

// The caps GetDeviceCaps reports: the override when one is set, else the layer's own.
const D3DCAPS9& CurrentCaps();

}  // namespace d3d9_internal
