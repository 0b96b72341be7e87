// IDirect3DVertexBuffer9: the bytes in a CPU copy (locks return it) and in a GL buffer
// that each Unlock brings up to date over the range written. Entry thread only.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d9/GlBufferStorage.h"
#include "platform/d3d9/Resource9.h"

class VertexBuffer9 final : public Resource9<IDirect3DVertexBuffer9> {
 public:
  static HRESULT Create(Device9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                        VertexBuffer9** buffer);

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

  GLuint glBuffer() const { return storage_.glBuffer(); }
  UINT size() const { return storage_.size(); }

 private:
  VertexBuffer9(Device9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  ~VertexBuffer9() override;

  GlBufferStorage storage_;
  DWORD usage_;
  DWORD fvf_;
  D3DPOOL pool_;
};
