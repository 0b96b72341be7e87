// A lockable surface in plain memory for testing the D3DX loaders and saver without
// a device: rows are padded beyond the pixels, so a loader that ignores the pitch
// shows up, and every lock is recorded.
#pragma once

#include <cstring>
#include <vector>

#include "platform/d3d9/d3d9.h"

class MemorySurface final : public IDirect3DSurface9 {
 public:
  MemorySurface(UINT width, UINT height, D3DFORMAT format, UINT bytesPerPixel)
      : width_(width), height_(height), format_(format), bytesPerPixel_(bytesPerPixel),
        pitch_(static_cast<INT>(width * bytesPerPixel + 12)), bits_(pitch_ * height, 0xCD) {}

  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override { return --references_; }  // owned by the test
  HRESULT GetDevice(IDirect3DDevice9**) override { return D3DERR_INVALIDCALL; }
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetContainer(REFIID, void**) override { return E_NOINTERFACE; }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
    *desc = D3DSURFACE_DESC{format_, D3DRTYPE_SURFACE, 0, D3DPOOL_SYSTEMMEM,
                            D3DMULTISAMPLE_NONE, 0, width_, height_};
    return D3D_OK;
  }
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
    if (lockedNow_) return D3DERR_INVALIDCALL;
    lockedNow_ = true;
    ++locks;
    lastFlags = flags;
    const LONG left = rect ? rect->left : 0;
    const LONG top = rect ? rect->top : 0;
    locked->Pitch = pitch_;
    locked->pBits = bits_.data() + top * pitch_ + left * static_cast<LONG>(bytesPerPixel_);
    return D3D_OK;
  }
  HRESULT UnlockRect() override {
    if (!lockedNow_) return D3DERR_INVALIDCALL;
    lockedNow_ = false;
    return D3D_OK;
  }

  // Pixel (x, y) as a 32-bit value of its bytes (little-endian), whatever the format.
  DWORD pixel(UINT x, UINT y) const {
    DWORD value = 0;
    std::memcpy(&value, bits_.data() + y * pitch_ + x * bytesPerPixel_, bytesPerPixel_);
    return value;
  }
  void setPixel(UINT x, UINT y, DWORD value) {
    std::memcpy(bits_.data() + y * pitch_ + x * bytesPerPixel_, &value, bytesPerPixel_);
  }
  bool padIntact() const {
    for (UINT y = 0; y < height_; ++y)
      for (INT i = static_cast<INT>(width_ * bytesPerPixel_); i < pitch_; ++i)
        if (bits_[y * pitch_ + i] != 0xCD) return false;
    return true;
  }
  bool isLocked() const { return lockedNow_; }

  int locks = 0;
  DWORD lastFlags = 0;

 private:
  UINT width_, height_;
  D3DFORMAT format_;
  UINT bytesPerPixel_;
  INT pitch_;
  std::vector<std::uint8_t> bits_;
  ULONG references_ = 1;
  bool lockedNow_ = false;
};
