#include "platform/d3d9/HostSeams.h"

#include <optional>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/d3d9host.h"

namespace {

// The seams named by d3d9host.h: process-wide by design.
struct Seams {
  std::function<void(IDirect3DDevice9*)> presentObserver;
  std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD)> createDeviceFilter;
  std::optional<D3DCAPS9> capsOverride;
  bool fullStateApply = false;
};

Seams& TheSeams() {
  static Seams seams;
  return seams;
}

}  // namespace

void D3D9SetPresentObserver(std::function<void(IDirect3DDevice9*)> observer) {
  TheSeams().presentObserver = std::move(observer);
}

void D3D9SetCreateDeviceFilter(
    std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD behaviorFlags)> filter) {
  TheSeams().createDeviceFilter = std::move(filter);
}

void D3D9SetCapsOverride(const D3DCAPS9* caps) {
  if (caps)
    TheSeams().capsOverride = *caps;
  else
    TheSeams().capsOverride.reset();
}

void D3D9SetFullStateApply(bool on) { TheSeams().fullStateApply = on; }

bool D3D9FullStateApply() { return TheSeams().fullStateApply; }

namespace d3d9_internal {

const std::function<void(IDirect3DDevice9*)>& PresentObserver() {
  return TheSeams().presentObserver;
}

const std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD)>& CreateDeviceFilter() {
  return TheSeams().createDeviceFilter;
}

const D3DCAPS9& CurrentCaps() {
  static const D3DCAPS9 defaults = MakeDefaultCaps();
  const auto& overrideCaps = TheSeams().capsOverride;
  return overrideCaps ? *overrideCaps : defaults;
}

}  // namespace d3d9_internal
