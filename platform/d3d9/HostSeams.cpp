#include "platform/d3d9/HostSeams.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/Device9.h"
#include "platform/d3d9/d3d9host.h"

namespace {

// The seams named by d3d9host.h: process-wide by design.
struct Seams {
  std::function<void(IDirect3DDevice9*)> presentObserver;
  std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD)> createDeviceFilter;
  const D3DCAPS9* capsOverride = nullptr;  // not owned
  std::function<void(const std::string&)> glErrorHandler;
  d3d9_internal::DebugSwitches debug = d3d9_internal::ReadDebugSwitches(std::getenv);
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

void D3D9SetCapsOverride(const D3DCAPS9* caps) { TheSeams().capsOverride = caps; }

void D3D9SetFullStateApply(bool on) { TheSeams().debug.fullStateApply = on; }

bool D3D9FullStateApply() { return TheSeams().debug.fullStateApply; }

void D3D9SetShaderDumpFolder(std::string folder) {
  TheSeams().debug.shaderDumpFolder = std::move(folder);
}

const std::string& D3D9ShaderDumpFolder() { return TheSeams().debug.shaderDumpFolder; }

void D3D9SetGlChecks(bool on) { TheSeams().debug.glChecks = on; }

bool D3D9GlChecks() { return TheSeams().debug.glChecks; }

void D3D9SetGlErrorHandler(std::function<void(const std::string&)> handler) {
  TheSeams().glErrorHandler = std::move(handler);
}

bool D3D9GetFrameStats(IDirect3DDevice9* device, D3D9FrameStats* stats) {
  auto* ours = dynamic_cast<Device9*>(device);
  if (!ours || !stats) return false;
  const GlCallCounts& c = ours->lastFrameCounts();
  *stats = D3D9FrameStats{c.draws,        c.stateChanges, c.uniformUploads,
                          c.textureBinds, c.bufferBinds,  c.programSwitches};
  return true;
}

namespace d3d9_internal {

DebugSwitches ReadDebugSwitches(const std::function<const char*(const char*)>& getenv) {
  DebugSwitches d;
#ifndef NDEBUG
  d.glChecks = true;
#endif
  auto on = [](const char* value) {
    return value && *value && std::strcmp(value, "0") != 0 && std::strcmp(value, "off") != 0;
  };
  if (const char* v = getenv("SHOW_GL_FULL_STATE")) d.fullStateApply = on(v);
  if (const char* v = getenv("SHOW_GL_DUMP_SHADERS")) d.shaderDumpFolder = v;
  if (const char* v = getenv("SHOW_GL_CHECK")) d.glChecks = on(v);
  return d;
}

void ReportGlError(const std::string& message) {
  if (const auto& handler = TheSeams().glErrorHandler) {
    handler(message);
    return;
  }
  std::fprintf(stderr, "OpenGL error: %s\n", message.c_str());
  std::abort();
}

const std::function<void(IDirect3DDevice9*)>& PresentObserver() {
  return TheSeams().presentObserver;
}

const std::function<HRESULT(const D3DPRESENT_PARAMETERS&, DWORD)>& CreateDeviceFilter() {
  return TheSeams().createDeviceFilter;
}

const D3DCAPS9& CurrentCaps() {
  static const D3DCAPS9 defaults = MakeDefaultCaps();
  const D3DCAPS9* overrideCaps = TheSeams().capsOverride;
  return overrideCaps ? *overrideCaps : defaults;
}

}  // namespace d3d9_internal
