// What vertex and index buffers share: the creation checks, the bytes in a CPU
// copy mirrored into one GL buffer (GlBufferStorage), Lock and Unlock over it,
// and QueryInterface. A kind adds its own format and description.
// Entry thread only.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d9/GlBufferStorage.h"
#include "platform/d3d9/Resource9.h"

// The checks every buffer creation makes; `call` names it in the report
// ("CreateVertexBuffer"). D3D_OK, or the reported D3DERR_INVALIDCALL.
HRESULT CheckBufferCreation(const char* call, UINT length, UINT minimumLength, DWORD usage,
                            D3DPOOL pool);

template <class Interface>
class Buffer9 : public Resource9<Interface> {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
    return ComQueryInterface<Interface>(this, riid, ppvObject,
                                        {IID_IUnknown, IID_IDirect3DResource9, kind_.iid});
  }
  HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override {
    return storage_.Lock(kind_.name, OffsetToLock, SizeToLock, ppbData, Flags);
  }
  HRESULT Unlock() override {
    bool uploaded = false;
    const HRESULT result = storage_.Unlock(kind_.name, &uploaded);
    if (uploaded) ContentsChanged();
    return result;
  }

  GLuint glBuffer() const { return storage_.glBuffer(); }
  UINT size() const { return storage_.size(); }

 protected:
  struct Kind {
    const char* name;  // in error reports: "VertexBuffer"
    D3DRESOURCETYPE type;
    const IID& iid;
  };

  Buffer9(Device9* device, const Kind& kind, UINT length, DWORD usage, D3DPOOL pool)
      : Resource9<Interface>(device, kind.type),
        usage_(usage),
        pool_(pool),
        storage_(device, length, (usage & D3DUSAGE_DYNAMIC) != 0,
                 kind.type == D3DRTYPE_INDEXBUFFER),
        kind_(kind) {}
  ~Buffer9() override = default;

  // Called after an Unlock that sent new bytes to the GL buffer.
  virtual void ContentsChanged() {}
  const std::uint8_t* bytes() const { return storage_.bytes(); }

  const DWORD usage_;
  const D3DPOOL pool_;

 private:
  GlBufferStorage storage_;
  const Kind kind_;
};
