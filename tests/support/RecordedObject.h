// Reference counting of every object a RecordingDevice makes, the same rules as the
// platform's device: `refs` are the application's references (AddRef/Release),
// `binds` the device's own uses (a texture on a stage, a buffer on a stream, a
// surface as render target), which keep the object alive but stay invisible to the
// application. While the application holds an object, the object holds one reference
// on its device, so a device released to zero proves the application let go of
// everything it was given. Entry thread only.
#pragma once

#include <string>
#include <utility>

#include "platform/d3d9/d3d9.h"

class RecordingDevice;

// The device keeps a ledger of live objects, so a leak can be named at teardown.
void LedgerAdd(RecordingDevice* device, const void* object, std::string description);
void LedgerRemove(RecordingDevice* device, const void* object);
IDirect3DDevice9* LedgerDevice(RecordingDevice* device);
// A call the device refuses: noted on the device, D3DERR_INVALIDCALL for the caller.
HRESULT LedgerRefuse(RecordingDevice* device, std::string why);

template <class Interface>
class RecordedObject : public Interface {
 public:
  RecordedObject(const RecordedObject&) = delete;
  RecordedObject& operator=(const RecordedObject&) = delete;

  HRESULT QueryInterface(REFIID, void** object) override {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override {
    if (refs_++ == 0) LedgerDevice(device_)->AddRef();
    return refs_;
  }
  ULONG Release() override {
    if (refs_ == 0) return 0;  // over-release: the count stays at zero
    const ULONG left = --refs_;
    if (left == 0) {
      RecordingDevice* device = device_;
      if (binds_ == 0) delete this;
      LedgerDevice(device)->Release();
    }
    return left;
  }
  HRESULT GetDevice(IDirect3DDevice9** device) override {
    if (!device) return D3DERR_INVALIDCALL;
    *device = LedgerDevice(device_);
    (*device)->AddRef();
    return D3D_OK;
  }
  DWORD SetPriority(DWORD priority) override { return std::exchange(priority_, priority); }
  DWORD GetPriority() override { return priority_; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return type_; }

  void AddBind() { ++binds_; }
  void RemoveBind() {
    if (binds_ > 0 && --binds_ == 0 && refs_ == 0) delete this;
  }
  ULONG references() const { return refs_; }

 protected:
  // Made with the creator's reference, which holds the device.
  RecordedObject(RecordingDevice* device, D3DRESOURCETYPE type, std::string description)
      : device_(device), type_(type) {
    LedgerDevice(device_)->AddRef();
    LedgerAdd(device_, this, std::move(description));
  }
  ~RecordedObject() override { LedgerRemove(device_, this); }

  RecordingDevice* device() const { return device_; }

 private:
  RecordingDevice* device_;
  D3DRESOURCETYPE type_;
  ULONG refs_ = 1;
  ULONG binds_ = 0;
  DWORD priority_ = 0;
};
