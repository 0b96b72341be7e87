// Plane and colour functions of d3dx9math.h.
#include <cmath>

#include "platform/d3dx/d3dx9math.h"

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pout, const D3DXPLANE* pp) {
  const FLOAT length = std::sqrt(pp->a * pp->a + pp->b * pp->b + pp->c * pp->c);
  if (length == 0.0f) {
    *pout = D3DXPLANE(0, 0, 0, 0);
  } else {
    *pout = D3DXPLANE(pp->a / length, pp->b / length, pp->c / length, pp->d / length);
  }
  return pout;
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pout, const D3DXVECTOR3* pvpoint,
                                    const D3DXVECTOR3* pvnormal) {
  *pout = D3DXPLANE(pvnormal->x, pvnormal->y, pvnormal->z, -D3DXVec3Dot(pvpoint, pvnormal));
  return pout;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pout, const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2,
                               const D3DXVECTOR3* pv3) {
  const D3DXVECTOR3 edge1 = *pv2 - *pv1;
  const D3DXVECTOR3 edge2 = *pv3 - *pv1;
  D3DXVECTOR3 cross, normal;
  D3DXVec3Cross(&cross, &edge1, &edge2);
  D3DXVec3Normalize(&normal, &cross);
  const D3DXVECTOR3 point = *pv1;
  return D3DXPlaneFromPointNormal(pout, &point, &normal);
}

D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* pout, const D3DXPLANE* pplane, const D3DXMATRIX* pm) {
  const D3DXPLANE p = *pplane;
  const D3DXMATRIX& m = *pm;
  *pout = D3DXPLANE(p.a * m._11 + p.b * m._21 + p.c * m._31 + p.d * m._41,
                    p.a * m._12 + p.b * m._22 + p.c * m._32 + p.d * m._42,
                    p.a * m._13 + p.b * m._23 + p.c * m._33 + p.d * m._43,
                    p.a * m._14 + p.b * m._24 + p.c * m._34 + p.d * m._44);
  return pout;
}

D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* pout, const D3DXPLANE* pp,
                                    const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2) {
  const D3DXVECTOR3 direction = *pv2 - *pv1;
  const FLOAT denominator = D3DXPlaneDotNormal(pp, &direction);
  if (denominator == 0.0f) {
    return nullptr;
  }
  const FLOAT t = -D3DXPlaneDotCoord(pp, pv1) / denominator;
  *pout = *pv1 + direction * t;
  return pout;
}

D3DXCOLOR* D3DXColorAdjustSaturation(D3DXCOLOR* pout, const D3DXCOLOR* pc, FLOAT s) {
  const FLOAT grey = pc->r * 0.2125f + pc->g * 0.7154f + pc->b * 0.0721f;
  *pout = D3DXCOLOR(grey + s * (pc->r - grey), grey + s * (pc->g - grey),
                    grey + s * (pc->b - grey), pc->a);
  return pout;
}

D3DXCOLOR* D3DXColorAdjustContrast(D3DXCOLOR* pout, const D3DXCOLOR* pc, FLOAT c) {
  *pout = D3DXCOLOR(0.5f + c * (pc->r - 0.5f), 0.5f + c * (pc->g - 0.5f),
                    0.5f + c * (pc->b - 0.5f), pc->a);
  return pout;
}
