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
    : Resource9(device, D3DRTYPE_INDEXBUFFER), data_(length, 0), usage_(usage), pool_(pool) {
  device->Activate();
  glGenBuffers(1, &buffer_);
  glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
  glBufferData(GL_COPY_WRITE_BUFFER, length, data_.data(),
               (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
}

IndexBuffer9::~IndexBuffer9() {
  device()->gl().ForgetBuffer(buffer_);
  glDeleteBuffers(1, &buffer_);
}

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
  if (!ppbData) return ReportInvalidCall("IndexBuffer Lock: null pointer");
  *ppbData = nullptr;
  UINT size = static_cast<UINT>(data_.size());
  if (OffsetToLock > size || SizeToLock > size - OffsetToLock)
    return ReportInvalidCall("IndexBuffer Lock: range %u+%u outside %u bytes", OffsetToLock,
                             SizeToLock, size);
  UINT end = SizeToLock == 0 ? size : OffsetToLock + SizeToLock;
  if (!(Flags & D3DLOCK_READONLY)) {
    if (lockCount_ == 0 || dirtyBegin_ == dirtyEnd_) {
      dirtyBegin_ = OffsetToLock;
      dirtyEnd_ = end;
    } else {
      dirtyBegin_ = std::min(dirtyBegin_, OffsetToLock);
      dirtyEnd_ = std::max(dirtyEnd_, end);
    }
  }
  ++lockCount_;
  *ppbData = data_.data() + OffsetToLock;
  return D3D_OK;
}

HRESULT IndexBuffer9::Unlock() {
  if (lockCount_ == 0) return ReportInvalidCall("IndexBuffer Unlock: not locked");
  if (--lockCount_ > 0) return D3D_OK;
  if (dirtyEnd_ > dirtyBegin_) {
    memo_.valid = false;
    device()->Activate();
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    glBufferSubData(GL_COPY_WRITE_BUFFER, dirtyBegin_, dirtyEnd_ - dirtyBegin_,
                    data_.data() + dirtyBegin_);
  }
  dirtyBegin_ = dirtyEnd_ = 0;
  return D3D_OK;
}

HRESULT IndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("IndexBuffer GetDesc: null description");
  *pDesc = D3DINDEXBUFFER_DESC{D3DFMT_INDEX16, D3DRTYPE_INDEXBUFFER, usage_, pool_,
                               static_cast<UINT>(data_.size())};
  return D3D_OK;
}

bool IndexBuffer9::IndexRange(UINT start, UINT count, UINT* lowest, UINT* highest) {
  std::size_t available = data_.size() / 2;
  if (count == 0 || start > available || count > available - start) return false;
  if (memo_.valid && memo_.start == start && memo_.count == count) {
    *lowest = memo_.lowest;
    *highest = memo_.highest;
    return true;
  }
  UINT low = 0xFFFF, high = 0;
  for (UINT i = 0; i < count; ++i) {
    std::uint16_t index;
    std::memcpy(&index, data_.data() + 2 * (static_cast<std::size_t>(start) + i), 2);
    low = std::min<UINT>(low, index);
    high = std::max<UINT>(high, index);
  }
  memo_ = RangeMemo{start, count, low, high, true};
  *lowest = low;
  *highest = high;
  return true;
}
