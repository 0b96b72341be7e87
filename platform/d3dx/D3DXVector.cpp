// Vector functions of d3dx9math.h.
#include <cmath>

#include "platform/d3dx/d3dx9math.h"

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* pout, const D3DXVECTOR2* pv) {
  const FLOAT length = D3DXVec2Length(pv);
  *pout = length == 0.0f ? D3DXVECTOR2(0, 0) : *pv / length;
  return pout;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pout, const D3DXVECTOR3* pv) {
  const FLOAT length = D3DXVec3Length(pv);
  *pout = length == 0.0f ? D3DXVECTOR3(0, 0, 0) : *pv / length;
  return pout;
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* pout, const D3DXVECTOR4* pv) {
  const FLOAT length = D3DXVec4Length(pv);
  *pout = length == 0.0f ? D3DXVECTOR4(0, 0, 0, 0) : *pv / length;
  return pout;
}

D3DXVECTOR4* D3DXVec2Transform(D3DXVECTOR4* pout, const D3DXVECTOR2* pv, const D3DXMATRIX* pm) {
  const D3DXVECTOR4 v(pv->x, pv->y, 0.0f, 1.0f);
  return D3DXVec4Transform(pout, &v, pm);
}

D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* pout, const D3DXVECTOR2* pv,
                                    const D3DXMATRIX* pm) {
  D3DXVECTOR4 r;
  D3DXVec2Transform(&r, pv, pm);
  *pout = D3DXVECTOR2(r.x / r.w, r.y / r.w);
  return pout;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pout, const D3DXVECTOR3* pv, const D3DXMATRIX* pm) {
  const D3DXVECTOR4 v(pv->x, pv->y, pv->z, 1.0f);
  return D3DXVec4Transform(pout, &v, pm);
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pout, const D3DXVECTOR3* pv,
                                    const D3DXMATRIX* pm) {
  D3DXVECTOR4 r;
  D3DXVec3Transform(&r, pv, pm);
  *pout = D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w);
  return pout;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pout, const D3DXVECTOR3* pv,
                                     const D3DXMATRIX* pm) {
  const D3DXVECTOR3 v = *pv;
  const D3DXMATRIX& m = *pm;
  *pout = D3DXVECTOR3(v.x * m._11 + v.y * m._21 + v.z * m._31,
                      v.x * m._12 + v.y * m._22 + v.z * m._32,
                      v.x * m._13 + v.y * m._23 + v.z * m._33);
  return pout;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pout, const D3DXVECTOR4* pv, const D3DXMATRIX* pm) {
  const D3DXVECTOR4 v = *pv;
  const D3DXMATRIX& m = *pm;
  *pout = D3DXVECTOR4(v.x * m._11 + v.y * m._21 + v.z * m._31 + v.w * m._41,
                      v.x * m._12 + v.y * m._22 + v.z * m._32 + v.w * m._42,
                      v.x * m._13 + v.y * m._23 + v.z * m._33 + v.w * m._43,
                      v.x * m._14 + v.y * m._24 + v.z * m._34 + v.w * m._44);
  return pout;
}
