// Waiting for a frame through the layer itself: the back buffer is read back into
// system memory, which returns only once everything drawn into it is done. A benchmark
// that times rendering ends each frame so; an OpenGL call of its own would reach
// whatever context happens to be current and time command submission, not frames.
// Also the sanity check that makes a figure which cannot be right fail the run.
#pragma once

#include <cstdio>

#include "platform/d3d9/d3d9.h"

class FrameReadback {
 public:
  explicit FrameReadback(IDirect3DDevice9* device) : device_(device) {
    D3DSURFACE_DESC desc{};
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_)) ||
        FAILED(back_->GetDesc(&desc)) ||
        FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                   D3DPOOL_SYSTEMMEM, &copy_, nullptr)))
      copy_ = nullptr;
  }
  ~FrameReadback() {
    if (copy_) copy_->Release();
    if (back_) back_->Release();
  }
  FrameReadback(const FrameReadback&) = delete;
  FrameReadback& operator=(const FrameReadback&) = delete;

  bool ok() const { return copy_ != nullptr; }

  // Returns once the back buffer holds the finished frame; false when it cannot be read.
  bool Wait() { return copy_ && SUCCEEDED(device_->GetRenderTargetData(back_, copy_)); }

  // The pixel at (x, y) of the frame read last, as ARGB; 0 when it cannot be read.
  DWORD Pixel(UINT x, UINT y) {
    D3DLOCKED_RECT locked{};
    if (!copy_ || FAILED(copy_->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return 0;
    const DWORD value =
        static_cast<const DWORD*>(locked.pBits)[y * static_cast<UINT>(locked.Pitch / 4) + x];
    copy_->UnlockRect();
    return value;
  }

 private:
  IDirect3DDevice9* device_;
  IDirect3DSurface9* back_ = nullptr;
  IDirect3DSurface9* copy_ = nullptr;
};

// False, with the reason on standard error, when `holds` is false: the run's figures
// cannot be right and the benchmark program ends with status 1.
inline bool Plausible(bool holds, const char* what) {
  if (!holds) std::fprintf(stderr, "implausible result: %s\n", what);
  return holds;
}
