// IDirect3DIndexBuffer9 of 16-bit indices: the indices in a CPU copy (locks return it,
// draws check the vertex range against it) and in a GL buffer updated at Unlock.
// Entry thread only.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d9/GlBufferStorage.h"
#include "platform/d3d9/Resource9.h"

class IndexBuffer9 final : public Resource9<IDirect3DIndexBuffer9> {
 public:
  static HRESULT Create(Device9* device, UINT length, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IndexBuffer9** buffer);

  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

  GLuint glBuffer() const { return storage_.glBuffer(); }
  UINT size() const { return storage_.size(); }
  // Smallest and largest index among count indices from start (in indices);
  // false when the range lies outside the buffer.
  bool IndexRange(UINT start, UINT count, UINT* lowest, UINT* highest);

 private:
  IndexBuffer9(Device9* device, UINT length, DWORD usage, D3DPOOL pool);
  ~IndexBuffer9() override;

  GlBufferStorage storage_;
  DWORD usage_;
  D3DPOOL pool_;
  // The last range asked for, kept while the contents do not change.
  struct RangeMemo {
    UINT start = 0, count = 0, lowest = 0, highest = 0;
    bool valid = false;
  } memo_;
};
