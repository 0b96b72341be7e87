#include "platform/d3d9/IndexBuffer9.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"

namespace {
constexpr UINT kMaxBufferBytes = 256u << 20;
}

HRESULT IndexBuffer9::Create(Device9* device, UINT length, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool, IndexBuffer9** buffer) {
  *buffer = nullptr;
  if (format != D3DFMT_INDEX16)
    return ReportInvalidCall("CreateIndexBuffer: only 16-bit indices are supported");
  if (length < 2 || length > kMaxBufferBytes)
    return ReportInvalidCall("CreateIndexBuffer: length %u is not supported", length);
  if (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_SOFTWAREPROCESSING |
                D3DUSAGE_DONOTCLIP | D3DUSAGE_POINTS))
    return ReportInvalidCall("CreateIndexBuffer: usage 0x%x is not supported", usage);
  if (pool > D3DPOOL_SCRATCH) return ReportInvalidCall("CreateIndexBuffer: pool %u", pool);
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
    return ReportInvalidCall("CreateIndexBuffer: dynamic buffers cannot be managed");
  *buffer = new IndexBuffer9(device, length, usage, pool);
  return D3D_OK;
}

IndexBuffer9::IndexBuffer9(Device9* device, UINT length, DWORD usage, D3DPOOL pool)
    : Resource9(device, D3DRTYPE_INDEXBUFFER),
      storage_(device, length, (usage & D3DUSAGE_DYNAMIC) != 0),
      usage_(usage),
      pool_(pool) {}

IndexBuffer9::~IndexBuffer9() = default;

HRESULT IndexBuffer9::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_NOINTERFACE;
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 ||
      riid == IID_IDirect3DIndexBuffer9) {
    AddRef();
    *ppvObject = static_cast<IDirect3DIndexBuffer9*>(this);
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

HRESULT IndexBuffer9::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) {
  return storage_.Lock("IndexBuffer", OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT IndexBuffer9::Unlock() {
  bool uploaded = false;
  HRESULT result = storage_.Unlock("IndexBuffer", &uploaded);
  if (uploaded) memo_.valid = false;
  return result;
}

HRESULT IndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("IndexBuffer GetDesc: null description");
  *pDesc = D3DINDEXBUFFER_DESC{D3DFMT_INDEX16, D3DRTYPE_INDEXBUFFER, usage_, pool_,
                               storage_.size()};
  return D3D_OK;
}

bool IndexBuffer9::IndexRange(UINT start, UINT count, UINT* lowest, UINT* highest) {
  std::size_t available = storage_.size() / 2;
  if (count == 0 || start > available || count > available - start) return false;
  if (memo_.valid && memo_.start == start && memo_.count == count) {
    *lowest = memo_.lowest;
    *highest = memo_.highest;
    return true;
  }
  UINT low = 0xFFFF, high = 0;
  for (UINT i = 0; i < count; ++i) {
    std::uint16_t index;
    std::memcpy(&index, storage_.bytes() + 2 * (static_cast<std::size_t>(start) + i), 2);
    low = std::min<UINT>(low, index);
    high = std::max<UINT>(high, index);
  }
  memo_ = RangeMemo{start, count, low, high, true};
  *lowest = low;
  *highest = high;
  return true;
}
