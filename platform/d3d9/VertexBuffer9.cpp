#include "platform/d3d9/VertexBuffer9.h"

#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/VertexLayout.h"

HRESULT VertexBuffer9::Create(Device9* device, UINT length, DWORD usage, DWORD fvf,
                              D3DPOOL pool, VertexBuffer9** buffer) {
  *buffer = nullptr;
  const HRESULT checked = CheckBufferCreation("CreateVertexBuffer", length, 1, usage, pool);
  if (FAILED(checked)) return checked;
  VertexLayout layout;
  if (fvf != 0 && !DecodeFvf(fvf, &layout))
    return ReportInvalidCall("CreateVertexBuffer: vertex format 0x%x is not supported", fvf);
  *buffer = new VertexBuffer9(device, length, usage, fvf, pool);
  return D3D_OK;
}

VertexBuffer9::VertexBuffer9(Device9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : Buffer9(device, {"VertexBuffer", D3DRTYPE_VERTEXBUFFER, IID_IDirect3DVertexBuffer9}, length,
              usage, pool),
      fvf_(fvf) {}

HRESULT VertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
  if (!pDesc) return ReportInvalidCall("VertexBuffer GetDesc: null description");
  *pDesc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_, size(),
                                fvf_};
  return D3D_OK;
}
