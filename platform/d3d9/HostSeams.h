// Internal side of the host seams declared in d3d9host.h: what the device and the
// Direct3D object read back. Entry thread only.
#pragma once

#include <functional>
#include <string>

#include "platform/d3d9/d3d9.h"

namespace d3d9_internal {

// The debug switches as the environment sets them; getenv is std::getenv but for tests.
struct DebugSwitches {
  bool fullStateApply = false;
  std::string shaderDumpFolder;
  bool glChecks = false;
};
DebugSwitches ReadDebugSwitches(const std::function<const char*(const char*)>& getenv);

// Hands an OpenGL error to the handler the host set, or reports it and aborts.
void ReportGlError(const std::string& message);

// The present observer, or an empty function.
const std::function<void(IDirect3DDevice9*)>& PresentObserver();

// The create-device filter, or an empty function.
const std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD)>& CreateDeviceFilter();

// The caps GetDeviceCaps reports (copied by the caller): the override when one is set,
// else the layer's own.
const D3DCAPS9& CurrentCaps();

}  // namespace d3d9_internal
