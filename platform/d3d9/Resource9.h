// Reference counting shared by every object a device creates. refs counts the
// application's references (AddRef/Release); binds counts the device's own uses (a
// texture on a stage, a buffer on a stream, a surface as render target), which keep
// the object alive but are not visible to the application, as in Direct3D 9. The
// object is freed when both reach zero. While the application holds an object, the
// object holds one reference on its device, so the device outlives its resources.
// Entry thread only.
#pragma once

#include "platform/d3d9/d3d9.h"

class Device9;

// Helpers defined with the device, so this header needs no device definition.
void DeviceAddRef(Device9* device);
ULONG DeviceRelease(Device9* device);
void DeviceActivate(Device9* device);
IDirect3DDevice9* DeviceInterface(Device9* device);

template <class Interface>
class Resource9 : public Interface {
 public:
  HRESULT GetDevice(IDirect3DDevice9** ppDevice) override {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    DeviceAddRef(device_);
    *ppDevice = DeviceInterface(device_);
    return D3D_OK;
  }
  DWORD SetPriority(DWORD priority) override {
    DWORD old = priority_;
    priority_ = priority;
    return old;
  }
  DWORD GetPriority() override { return priority_; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return type_; }

  ULONG AddRef() override {
    // Taken up again after the last release while the device still held it bound.
    if (refs_.Count() == 0 && holdsDevice_) DeviceAddRef(device_);
    return refs_.Add();
  }
  ULONG Release() override {
    bool last = false;
    const ULONG left = refs_.Remove(&last);
    if (last) {
      Device9* device = device_;
      bool holdsDevice = holdsDevice_;
      if (binds_ == 0) Destroy();
      if (holdsDevice) DeviceRelease(device);
    }
    return left;
  }

  // Device-side references.
  virtual void AddBind() { ++binds_; }
  virtual void RemoveBind() {
    if (binds_ > 0 && --binds_ == 0 && refs_.Count() == 0) Destroy();
  }

  Device9* device() const { return device_; }

 protected:
  Resource9(Device9* device, D3DRESOURCETYPE type, bool holdsDevice = true)
      : device_(device), type_(type), holdsDevice_(holdsDevice) {
    if (holdsDevice) DeviceAddRef(device_);
  }
  ~Resource9() override = default;

  void Destroy() {
    DeviceActivate(device_);
    delete this;
  }

  ComRefCount refs_;
  ULONG binds_ = 0;

 private:
  Device9* device_;
  D3DRESOURCETYPE type_;
  bool holdsDevice_;
  DWORD priority_ = 0;
};

// A device-side reference to a resource, released when replaced or destroyed.
template <class T>
class BindRef {
 public:
  BindRef() = default;
  ~BindRef() { reset(); }
  BindRef(const BindRef&) = delete;
  BindRef& operator=(const BindRef&) = delete;

  void reset(T* object = nullptr) {
    if (object == object_) return;
    if (object) object->AddBind();
    T* old = object_;
    object_ = object;
    if (old) old->RemoveBind();
  }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};
