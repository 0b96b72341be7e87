#include "platform/d3d9/VertexBuffer9.h"

#include <algorithm>

#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/VertexLayout.h"

namespace {
constexpr UINT kMaxBufferBytes = 256u << 20;
}

HRESULT VertexBuffer9::Create(Device9* device, UINT length, DWORD usage, DWORD fvf,
                              D3DPOOL pool, VertexBuffer9** buffer) {
  *buffer = nullptr;
  if (length == 0 || length > kMaxBufferBytes)
    return ReportInvalidCall("CreateVertexBuffer: length %u is not supported", length);
  if (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_SOFTWAREPROCESSING |
                D3DUSAGE_DONOTCLIP | D3DUSAGE_POINTS))
    return ReportInvalidCall("CreateVertexBuffer: usage 0x%x is not supported", usage);
  if (pool > D3DPOOL_SCRATCH) return ReportInvalidCall("CreateVertexBuffer: pool %u", pool);
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
    return ReportInvalidCall("CreateVertexBuffer: dynamic buffers cannot be managed");
  VertexLayout layout;
  if (fvf != 0 && !DecodeFvf(fvf, &layout))
    return ReportInvalidCall("CreateVertexBuffer: vertex format 0x%x is not supported", fvf);
  *buffer = new VertexBuffer9(device, length, usage, fvf, pool);
  return D3D_OK;
}

VertexBuffer9::VertexBuffer9(Device9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : Resource9(device, D3DRTYPE_VERTEXBUFFER),
      data_(length, 0),
      usage_(usage),
      fvf_(fvf),
      pool_(pool) {
  device->Activate();
  glGenBuffers(1, &buffer_);
  glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
  glBufferData(GL_COPY_WRITE_BUFFER, length, data_.data(),
               (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
}

VertexBuffer9::~VertexBuffer9() {
  device()->gl().ForgetBuffer(buffer_);
  glDeleteBuffers(1, &buffer_);
}

HRESULT VertexBuffer9::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_NOINTERFACE;
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 ||
      riid == IID_IDirect3DVertexBuffer9) {
    AddRef();
    *ppvObject = static_cast<IDirect3DVertexBuffer9*>(this);
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

HRESULT VertexBuffer9::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) {
  if (!ppbData) return ReportInvalidCall("VertexBuffer Lock: null pointer");
  *ppbData = nullptr;
  UINT size = static_cast<UINT>(data_.size());
  if (OffsetToLock > size || SizeToLock > size - OffsetToLock)
    return ReportInvalidCall("VertexBuffer Lock: range %u+%u outside %u bytes", OffsetToLock,
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

HRESULT VertexBuffer9::Unlock() {
  if (lockCount_ == 0) return ReportInvalidCall("VertexBuffer Unlock: not locked");
  if (--lockCount_ > 0) return D3D_OK;
  if (dirtyEnd_ > dirtyBegin_) {
    device()->Activate();
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    glBufferSubData(GL_COPY_WRITE_BUFFER, dirtyBegin_, dirtyEnd_ - dirtyBegin_,
                    data_.data() + dirtyBegin_);
  }
  dirtyBegin_ = dirtyEnd_ = 0;
  return D3D_OK;
}

HRESULT VertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("VertexBuffer GetDesc: null description");
  *pDesc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_,
                                static_cast<UINT>(data_.size()), fvf_};
  return D3D_OK;
}
