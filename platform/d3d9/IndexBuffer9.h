// IDirect3DIndexBuffer9 of 16-bit indices: a buffer (Buffer9.h) whose indices draws
// check the vertex range against. Entry thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/Buffer9.h"

class IndexBuffer9 final : public Buffer9<IDirect3DIndexBuffer9> {
 public:
  static HRESULT Create(Device9* device, UINT length, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IndexBuffer9** buffer);

  HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

  // Smallest and largest index among count indices from start (in indices);
  // false when the range lies outside the buffer.
  bool IndexRange(UINT start, UINT count, UINT* lowest, UINT* highest);
  // The count indices from start with `base` added, as 32-bit indices; the range
  // must have passed IndexRange and every sum must be 0 or more.
  std::vector<std::uint32_t> MovedIndices(UINT start, UINT count, INT base) const;

 private:
  IndexBuffer9(Device9* device, UINT length, DWORD usage, D3DPOOL pool);
  ~IndexBuffer9() override = default;
  void ContentsChanged() override { memo_.valid = false; }

  // The last range asked for, kept while the contents do not change.
  struct RangeMemo {
    UINT start = 0, count = 0, lowest = 0, highest = 0;
    bool valid = false;
  } memo_;
};
