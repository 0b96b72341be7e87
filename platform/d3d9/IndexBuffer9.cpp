#include "platform/d3d9/IndexBuffer9.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/ErrorReport.h"

HRESULT IndexBuffer9::Create(Device9* device, UINT length, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool, IndexBuffer9** buffer) {
  *buffer = nullptr;
  if (format != D3DFMT_INDEX16)
    return ReportInvalidCall("CreateIndexBuffer: only 16-bit indices are supported");
  const HRESULT checked = CheckBufferCreation("CreateIndexBuffer", length, 2, usage, pool);
  if (FAILED(checked)) return checked;
  *buffer = new IndexBuffer9(device, length, usage, pool);
  return D3D_OK;
}

IndexBuffer9::IndexBuffer9(Device9* device, UINT length, DWORD usage, D3DPOOL pool)
    : Buffer9(device, {"IndexBuffer", D3DRTYPE_INDEXBUFFER, IID_IDirect3DIndexBuffer9}, length,
              usage, pool) {}

HRESULT IndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("IndexBuffer GetDesc: null description");
  *pDesc = D3DINDEXBUFFER_DESC{D3DFMT_INDEX16, D3DRTYPE_INDEXBUFFER, usage_, pool_, size()};
  return D3D_OK;
}

bool IndexBuffer9::IndexRange(UINT start, UINT count, UINT* lowest, UINT* highest) {
  std::size_t available = size() / 2;
  if (count == 0 || start > available || count > available - start) return false;
  if (memo_.valid && memo_.start == start && memo_.count == count) {
    *lowest = memo_.lowest;
    *highest = memo_.highest;
    return true;
  }
  UINT low = 0xFFFF, high = 0;
  for (UINT i = 0; i < count; ++i) {
    std::uint16_t index;
    std::memcpy(&index, bytes() + 2 * (static_cast<std::size_t>(start) + i), 2);
    low = std::min<UINT>(low, index);
    high = std::max<UINT>(high, index);
  }
  memo_ = RangeMemo{start, count, low, high, true};
  *lowest = low;
  *highest = high;
  return true;
}

std::vector<std::uint32_t> IndexBuffer9::MovedIndices(UINT start, UINT count, INT base) const {
  std::vector<std::uint32_t> moved(count);
  for (UINT i = 0; i < count; ++i) {
    std::uint16_t index;
    std::memcpy(&index, bytes() + 2 * (static_cast<std::size_t>(start) + i), 2);
    moved[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(index) + base);
  }
  return moved;
}
