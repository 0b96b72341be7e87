#include "app/Capture.h"

#include <cstdio>
#include <filesystem>

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"

namespace {
// Ticks of the virtual counter per frame: an integer, so frame n is at exactly
// n * 1000 / fps ms.
constexpr LONGLONG kTicksPerFrame = 1000000;
}  // namespace

Capture::Capture(std::string directory, int fps) : directory_(std::move(directory)), fps_(fps) {
  std::error_code error;
  std::filesystem::create_directories(directory_, error);
  if (!std::filesystem::is_directory(directory_, error)) {
    std::fprintf(stderr, "demo: cannot create the capture folder '%s'\n", directory_.c_str());
    return;
  }
  OsUseVirtualCounter(kTicksPerFrame * fps_);
  sound_ = std::make_unique<CaptureSound>(directory_, fps_);
  ready_ = true;
}

Capture::~Capture() { detach(); }

void Capture::attach(IDirect3DDevice9*) {
  D3D9SetPresentObserver([this](IDirect3DDevice9* device) { onPresent(device); });
}

void Capture::detach() {
  D3D9SetPresentObserver({});
  if (readback_) {
    readback_->Release();
    readback_ = nullptr;
  }
}

void Capture::onPresent(IDirect3DDevice9* device) {
  IDirect3DSurface9* backBuffer = nullptr;
  if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    if (!readback_) {
      device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                          &readback_, nullptr);
    }
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06llu.png", static_cast<unsigned long long>(frames_));
    std::string path = directory_ + name;
    if (readback_ && SUCCEEDED(device->GetRenderTargetData(backBuffer, readback_)) &&
        SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, readback_, nullptr, nullptr))) {
      ++frames_;
    } else {
      std::fprintf(stderr, "demo: could not write %s\n", path.c_str());
    }
    backBuffer->Release();
  }
  sound_->frame();
  OsAdvanceVirtualCounter(kTicksPerFrame);
}

void Capture::finish() {
  std::fprintf(stderr, "demo: captured %llu frames at %d fps into %s\n",
               static_cast<unsigned long long>(frames_), fps_, directory_.c_str());
  if (sound_) sound_->finish(frames_);
}
