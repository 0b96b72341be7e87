// IDirect3DVertexBuffer9: a buffer (Buffer9.h) with a vertex format, which may be
// 0 (none). Entry thread only.
#pragma once

#include "platform/d3d9/Buffer9.h"

class VertexBuffer9 final : public Buffer9<IDirect3DVertexBuffer9> {
 public:
  static HRESULT Create(Device9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                        VertexBuffer9** buffer);

  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

 private:
  VertexBuffer9(Device9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  ~VertexBuffer9() override = default;

  DWORD fvf_;
};
