// Host seams of the graphics layer: hooks for capture runs and tests that Direct3D 9
// itself does not have. Settings are process-wide and apply to every device created
// afterwards (the caps override and create filter) or to every Present (the observer).
// Entry thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

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

// Debug switches. Each starts from the environment, read once when the layer first needs
// it (see the README): SHOW_GL_FULL_STATE, SHOW_GL_DUMP_SHADERS, SHOW_GL_CHECK. The setters
// override it.
//
// Full state: every draw re-applies the whole OpenGL state instead of only what changed
// since the previous draw, so a faulty change cache shows up as a difference.
void D3D9SetFullStateApply(bool on);
bool D3D9FullStateApply();
// Shader dump: each program generated from now on has its shaders written into `folder`
// (which must exist) as program-HASH.vert, .geom and .frag, HASH naming its state; empty:
// none.
void D3D9SetShaderDumpFolder(std::string folder);
const std::string& D3D9ShaderDumpFolder();
// GL checks, for contexts created from now on: every OpenGL error goes to the error
// handler. On by default in builds with assertions, off in Release.
void D3D9SetGlChecks(bool on);
bool D3D9GlChecks();
// Receives the driver's text of each OpenGL error while GL checks are on. Empty (the
// default): the text goes to standard error and the process aborts, so that no test and
// no debug run passes over an error.
void D3D9SetGlErrorHandler(std::function<void(const std::string& message)> handler);

// OpenGL work of one frame, counted where the layer calls OpenGL: what its change cache let
// through.
struct D3D9FrameStats {
  std::uint64_t draws = 0;
  std::uint64_t stateChanges = 0;    // fixed-function, mask, clear, sampler, vertex-array state
  std::uint64_t uniformUploads = 0;  // groups of uniforms sent to a program
  std::uint64_t textureBinds = 0;    // textures, samplers and the active unit
  std::uint64_t bufferBinds = 0;     // vertex, index and frame buffers
  std::uint64_t programSwitches = 0;
};
// The counts of the frame `device` presented last: from the previous Present (or its
// creation) to the end of the last. All zero before its first Present. False, with *stats
// untouched, for a device this layer did not make.
bool D3D9GetFrameStats(IDirect3DDevice9* device, D3D9FrameStats* stats);
