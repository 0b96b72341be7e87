// Host seams of the graphics layer: hooks for capture runs and tests that Direct3D 9
// itself does not have. Settings are process-wide and apply to every device created
// afterwards (the caps override and create filter) or to every Present (the observer).
// Entry thread only.
#pragma once

#include <functional>

#include "platform/d3d9/d3d9.h"

// Called at the end of every Present with the presenting device (capture runs read the
// back buffer there and advance the clock). An empty function clears it.
void D3D9SetPresentObserver(std::function<void(IDirect3DDevice9*)> observer);

// When set, CreateDevice asks it first with the presentation parameters (back buffer
// size already resolved) and behaviour flags; a failing result is returned as is and no
// device is created. An empty function clears it.
void D3D9SetCreateDeviceFilter(
    std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD behaviorFlags)> filter);

// When non-null, GetDeviceCaps (of the Direct3D object and of devices) reports a copy
// of *caps as it is at that moment; the caller keeps *caps alive until it clears the
// override with null, which restores the layer's own caps.
void D3D9SetCapsOverride(const D3DCAPS9* caps);

// Debug switch: when on, every draw re-applies the whole OpenGL state instead of only what
// changed since the previous draw, so a faulty change cache shows up as a difference.
void D3D9SetFullStateApply(bool on);
bool D3D9FullStateApply();
