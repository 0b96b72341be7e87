// Quaternion functions of d3dx9math.h.
#include <cmath>

#include "platform/d3dx/d3dx9math.h"

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pout, const D3DXQUATERNION* pq1,
                                       const D3DXQUATERNION* pq2) {
  const D3DXQUATERNION a = *pq2;
  const D3DXQUATERNION b = *pq1;
  *pout = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                         a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                         a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                         a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
  return pout;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pout, const D3DXQUATERNION* pq) {
  const FLOAT length = D3DXQuaternionLength(pq);
  if (length == 0.0f) {
    *pout = D3DXQUATERNION(0, 0, 0, 0);
  } else {
    *pout = *pq / length;
  }
  return pout;
}

D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* pout, const D3DXQUATERNION* pq) {
  const FLOAT lengthSq = D3DXQuaternionLengthSq(pq);
  D3DXQUATERNION conjugate;
  D3DXQuaternionConjugate(&conjugate, pq);
  *pout = lengthSq == 0.0f ? D3DXQUATERNION(0, 0, 0, 0) : conjugate / lengthSq;
  return pout;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pout, const D3DXVECTOR3* pv,
                                           FLOAT angle) {
  D3DXVECTOR3 axis;
  D3DXVec3Normalize(&axis, pv);
  const FLOAT s = std::sin(angle / 2.0f);
  *pout = D3DXQUATERNION(axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2.0f));
  return pout;
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pout, const D3DXMATRIX* pm) {
  const D3DXMATRIX& m = *pm;
  const FLOAT trace = m._11 + m._22 + m._33 + 1.0f;
  if (trace > 1.0f) {
    const FLOAT s = 2.0f * std::sqrt(trace);
    *pout = D3DXQUATERNION((m._23 - m._32) / s, (m._31 - m._13) / s, (m._12 - m._21) / s,
                           0.25f * s);
    return pout;
  }
  // Work from the largest diagonal element, for precision near half turns.
  if (m._11 >= m._22 && m._11 >= m._33) {
    const FLOAT s = 2.0f * std::sqrt(1.0f + m._11 - m._22 - m._33);
    *pout = D3DXQUATERNION(0.25f * s, (m._12 + m._21) / s, (m._13 + m._31) / s,
                           (m._23 - m._32) / s);
  } else if (m._22 >= m._33) {
    const FLOAT s = 2.0f * std::sqrt(1.0f + m._22 - m._11 - m._33);
    *pout = D3DXQUATERNION((m._12 + m._21) / s, 0.25f * s, (m._23 + m._32) / s,
                           (m._31 - m._13) / s);
  } else {
    const FLOAT s = 2.0f * std::sqrt(1.0f + m._33 - m._11 - m._22);
    *pout = D3DXQUATERNION((m._13 + m._31) / s, (m._23 + m._32) / s, 0.25f * s,
                           (m._12 - m._21) / s);
  }
  return pout;
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pout, FLOAT yaw, FLOAT pitch,
                                                   FLOAT roll) {
  const FLOAT sy = std::sin(yaw / 2.0f), cy = std::cos(yaw / 2.0f);
  const FLOAT sp = std::sin(pitch / 2.0f), cp = std::cos(pitch / 2.0f);
  const FLOAT sr = std::sin(roll / 2.0f), cr = std::cos(roll / 2.0f);
  *pout = D3DXQUATERNION(sy * cp * sr + cy * sp * cr, sy * cp * cr - cy * sp * sr,
                         cy * cp * sr - sy * sp * cr, cy * cp * cr + sy * sp * sr);
  return pout;
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pout, const D3DXQUATERNION* pq1,
                                    const D3DXQUATERNION* pq2, FLOAT t) {
  FLOAT dot = D3DXQuaternionDot(pq1, pq2);
  FLOAT sign = 1.0f;
  if (dot < 0.0f) {
    dot = -dot;
    sign = -1.0f;  // the shorter arc runs to -q2, the same rotation
  }
  FLOAT w1 = 1.0f - t;
  FLOAT w2 = t;
  if (1.0f - dot > 0.001f) {
    const FLOAT theta = std::acos(dot);
    const FLOAT sinTheta = std::sin(theta);
    w1 = std::sin((1.0f - t) * theta) / sinTheta;
    w2 = std::sin(t * theta) / sinTheta;
  }
  *pout = *pq1 * w1 + *pq2 * (sign * w2);
  return pout;
}

void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* pq, D3DXVECTOR3* paxis, FLOAT* pangle) {
  if (paxis) {
    *paxis = D3DXVECTOR3(pq->x, pq->y, pq->z);
  }
  if (pangle) {
    const FLOAT w = pq->w > 1.0f ? 1.0f : pq->w < -1.0f ? -1.0f : pq->w;
    *pangle = 2.0f * std::acos(w);
  }
}
