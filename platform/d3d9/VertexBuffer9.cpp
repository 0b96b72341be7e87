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
      storage_(device, length, (usage & D3DUSAGE_DYNAMIC) != 0),
      usage_(usage),
      fvf_(fvf),
      pool_(pool) {}

VertexBuffer9::~VertexBuffer9() = default;

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
  return storage_.Lock("VertexBuffer", OffsetToLock, SizeToLock, ppbData, Flags);
}

HRESULT VertexBuffer9::Unlock() {
  bool uploaded = false;
  return storage_.Unlock("VertexBuffer", &uploaded);
}

HRESULT VertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("VertexBuffer GetDesc: null description");
  *pDesc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_,
                                storage_.size(), fvf_};
  return D3D_OK;
}
