// Matrix functions of d3dx9math.h.
#include <cmath>

#include "platform/d3d9/MatrixMath.h"
#include "platform/d3dx/d3dx9math.h"

namespace {

// Determinants of the 2x2 minors of rows 0-1 and rows 2-3, shared by the
// determinant and the inverse (Laplace expansion along the first two rows).
struct Minors {
  double s[6];
  double c[6];
};

Minors ComputeMinors(const D3DXMATRIX& a) {
  const auto& m = a.m;
  Minors r;
  r.s[0] = double(m[0][0]) * m[1][1] - double(m[1][0]) * m[0][1];
  r.s[1] = double(m[0][0]) * m[1][2] - double(m[1][0]) * m[0][2];
  r.s[2] = double(m[0][0]) * m[1][3] - double(m[1][0]) * m[0][3];
  r.s[3] = double(m[0][1]) * m[1][2] - double(m[1][1]) * m[0][2];
  r.s[4] = double(m[0][1]) * m[1][3] - double(m[1][1]) * m[0][3];
  r.s[5] = double(m[0][2]) * m[1][3] - double(m[1][2]) * m[0][3];
  r.c[5] = double(m[2][2]) * m[3][3] - double(m[3][2]) * m[2][3];
  r.c[4] = double(m[2][1]) * m[3][3] - double(m[3][1]) * m[2][3];
  r.c[3] = double(m[2][1]) * m[3][2] - double(m[3][1]) * m[2][2];
  r.c[2] = double(m[2][0]) * m[3][3] - double(m[3][0]) * m[2][3];
  r.c[1] = double(m[2][0]) * m[3][2] - double(m[3][0]) * m[2][2];
  r.c[0] = double(m[2][0]) * m[3][1] - double(m[3][0]) * m[2][1];
  return r;
}

double Determinant(const Minors& k) {
  return k.s[0] * k.c[5] - k.s[1] * k.c[4] + k.s[2] * k.c[3] + k.s[3] * k.c[2] -
         k.s[4] * k.c[1] + k.s[5] * k.c[0];
}

}  // namespace

FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* pm) {
  return static_cast<FLOAT>(Determinant(ComputeMinors(*pm)));
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pout, FLOAT* pdeterminant, const D3DXMATRIX* pm) {
  const Minors k = ComputeMinors(*pm);
  const double det = Determinant(k);
  if (det == 0.0) {
    return nullptr;
  }
  if (pdeterminant) {
    *pdeterminant = static_cast<FLOAT>(det);
  }
  const auto& m = pm->m;
  const double inv = 1.0 / det;
  double r[4][4];
  r[0][0] = (m[1][1] * k.c[5] - m[1][2] * k.c[4] + m[1][3] * k.c[3]) * inv;
  r[0][1] = (-m[0][1] * k.c[5] + m[0][2] * k.c[4] - m[0][3] * k.c[3]) * inv;
  r[0][2] = (m[3][1] * k.s[5] - m[3][2] * k.s[4] + m[3][3] * k.s[3]) * inv;
  r[0][3] = (-m[2][1] * k.s[5] + m[2][2] * k.s[4] - m[2][3] * k.s[3]) * inv;
  r[1][0] = (-m[1][0] * k.c[5] + m[1][2] * k.c[2] - m[1][3] * k.c[1]) * inv;
  r[1][1] = (m[0][0] * k.c[5] - m[0][2] * k.c[2] + m[0][3] * k.c[1]) * inv;
  r[1][2] = (-m[3][0] * k.s[5] + m[3][2] * k.s[2] - m[3][3] * k.s[1]) * inv;
  r[1][3] = (m[2][0] * k.s[5] - m[2][2] * k.s[2] + m[2][3] * k.s[1]) * inv;
  r[2][0] = (m[1][0] * k.c[4] - m[1][1] * k.c[2] + m[1][3] * k.c[0]) * inv;
  r[2][1] = (-m[0][0] * k.c[4] + m[0][1] * k.c[2] - m[0][3] * k.c[0]) * inv;
  r[2][2] = (m[3][0] * k.s[4] - m[3][1] * k.s[2] + m[3][3] * k.s[0]) * inv;
  r[2][3] = (-m[2][0] * k.s[4] + m[2][1] * k.s[2] - m[2][3] * k.s[0]) * inv;
  r[3][0] = (-m[1][0] * k.c[3] + m[1][1] * k.c[1] - m[1][2] * k.c[0]) * inv;
  r[3][1] = (m[0][0] * k.c[3] - m[0][1] * k.c[1] + m[0][2] * k.c[0]) * inv;
  r[3][2] = (-m[3][0] * k.s[3] + m[3][1] * k.s[1] - m[3][2] * k.s[0]) * inv;
  r[3][3] = (m[2][0] * k.s[3] - m[2][1] * k.s[1] + m[2][2] * k.s[0]) * inv;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      pout->m[i][j] = static_cast<FLOAT>(r[i][j]);
    }
  }
  return pout;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pout, const D3DXMATRIX* pm1, const D3DXMATRIX* pm2) {
  *pout = Multiply(*pm1, *pm2);
  return pout;
}

D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* pout, const D3DXMATRIX* pm1,
                                        const D3DXMATRIX* pm2) {
  D3DXMATRIX product;
  D3DXMatrixMultiply(&product, pm1, pm2);
  return D3DXMatrixTranspose(pout, &product);
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pout, const D3DXMATRIX* pm) {
  const D3DXMATRIX in = *pm;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      pout->m[i][j] = in.m[j][i];
    }
  }
  return pout;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pout, FLOAT x, FLOAT y, FLOAT z) {
  D3DXMatrixIdentity(pout);
  pout->_41 = x;
  pout->_42 = y;
  pout->_43 = z;
  return pout;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pout, FLOAT sx, FLOAT sy, FLOAT sz) {
  D3DXMatrixIdentity(pout);
  pout->_11 = sx;
  pout->_22 = sy;
  pout->_33 = sz;
  return pout;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pout, FLOAT angle) {
  const FLOAT s = std::sin(angle);
  const FLOAT c = std::cos(angle);
  D3DXMatrixIdentity(pout);
  pout->_22 = c;
  pout->_23 = s;
  pout->_32 = -s;
  pout->_33 = c;
  return pout;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pout, FLOAT angle) {
  const FLOAT s = std::sin(angle);
  const FLOAT c = std::cos(angle);
  D3DXMatrixIdentity(pout);
  pout->_11 = c;
  pout->_13 = -s;
  pout->_31 = s;
  pout->_33 = c;
  return pout;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pout, FLOAT angle) {
  const FLOAT s = std::sin(angle);
  const FLOAT c = std::cos(angle);
  D3DXMatrixIdentity(pout);
  pout->_11 = c;
  pout->_12 = s;
  pout->_21 = -s;
  pout->_22 = c;
  return pout;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pout, const D3DXVECTOR3* pv, FLOAT angle) {
  D3DXVECTOR3 v;
  D3DXVec3Normalize(&v, pv);
  const FLOAT s = std::sin(angle);
  const FLOAT c = std::cos(angle);
  const FLOAT t = 1.0f - c;
  D3DXMatrixIdentity(pout);
  pout->_11 = t * v.x * v.x + c;
  pout->_12 = t * v.x * v.y + s * v.z;
  pout->_13 = t * v.x * v.z - s * v.y;
  pout->_21 = t * v.x * v.y - s * v.z;
  pout->_22 = t * v.y * v.y + c;
  pout->_23 = t * v.y * v.z + s * v.x;
  pout->_31 = t * v.x * v.z + s * v.y;
  pout->_32 = t * v.y * v.z - s * v.x;
  pout->_33 = t * v.z * v.z + c;
  return pout;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pout, const D3DXQUATERNION* pq) {
  const FLOAT x = pq->x, y = pq->y, z = pq->z, w = pq->w;
  D3DXMatrixIdentity(pout);
  pout->_11 = 1.0f - 2.0f * (y * y + z * z);
  pout->_12 = 2.0f * (x * y + z * w);
  pout->_13 = 2.0f * (x * z - y * w);
  pout->_21 = 2.0f * (x * y - z * w);
  pout->_22 = 1.0f - 2.0f * (x * x + z * z);
  pout->_23 = 2.0f * (y * z + x * w);
  pout->_31 = 2.0f * (x * z + y * w);
  pout->_32 = 2.0f * (y * z - x * w);
  pout->_33 = 1.0f - 2.0f * (x * x + y * y);
  return pout;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pout, FLOAT yaw, FLOAT pitch, FLOAT roll) {
  D3DXMATRIX z, x, y;
  D3DXMatrixRotationZ(&z, roll);
  D3DXMatrixRotationX(&x, pitch);
  D3DXMatrixRotationY(&y, yaw);
  D3DXMatrixMultiply(pout, &z, &x);
  return D3DXMatrixMultiply(pout, pout, &y);
}

namespace {

D3DXMATRIX* LookAt(D3DXMATRIX* pout, const D3DXVECTOR3& eye, const D3DXVECTOR3& forward,
                   const D3DXVECTOR3& up) {
  D3DXVECTOR3 zaxis, xaxis, yaxis, cross;
  D3DXVec3Normalize(&zaxis, &forward);
  D3DXVec3Cross(&cross, &up, &zaxis);
  D3DXVec3Normalize(&xaxis, &cross);
  D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
  *pout = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0, xaxis.y, yaxis.y, zaxis.y, 0, xaxis.z, yaxis.z,
                     zaxis.z, 0, -D3DXVec3Dot(&xaxis, &eye), -D3DXVec3Dot(&yaxis, &eye),
                     -D3DXVec3Dot(&zaxis, &eye), 1);
  return pout;
}

}  // namespace

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pout, const D3DXVECTOR3* peye, const D3DXVECTOR3* pat,
                               const D3DXVECTOR3* pup) {
  return LookAt(pout, *peye, *pat - *peye, *pup);
}

D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* pout, const D3DXVECTOR3* peye, const D3DXVECTOR3* pat,
                               const D3DXVECTOR3* pup) {
  return LookAt(pout, *peye, *peye - *pat, *pup);
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pout, FLOAT fovy, FLOAT aspect, FLOAT zn,
                                       FLOAT zf) {
  const FLOAT yScale = 1.0f / std::tan(fovy / 2.0f);
  D3DXMatrixIdentity(pout);
  pout->_11 = yScale / aspect;
  pout->_22 = yScale;
  pout->_33 = zf / (zf - zn);
  pout->_34 = 1.0f;
  pout->_43 = -zn * zf / (zf - zn);
  pout->_44 = 0.0f;
  return pout;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* pout, FLOAT fovy, FLOAT aspect, FLOAT zn,
                                       FLOAT zf) {
  D3DXMatrixPerspectiveFovLH(pout, fovy, aspect, zn, zf);
  pout->_33 = zf / (zn - zf);
  pout->_34 = -1.0f;
  pout->_43 = zn * zf / (zn - zf);
  return pout;
}

D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* pout, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  D3DXMatrixIdentity(pout);
  pout->_11 = 2.0f * zn / w;
  pout->_22 = 2.0f * zn / h;
  pout->_33 = zf / (zf - zn);
  pout->_34 = 1.0f;
  pout->_43 = zn * zf / (zn - zf);
  pout->_44 = 0.0f;
  return pout;
}

D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* pout, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                             FLOAT zn, FLOAT zf) {
  D3DXMatrixPerspectiveLH(pout, r - l, t - b, zn, zf);
  pout->_31 = (l + r) / (l - r);
  pout->_32 = (t + b) / (b - t);
  return pout;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pout, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  D3DXMatrixIdentity(pout);
  pout->_11 = 2.0f / w;
  pout->_22 = 2.0f / h;
  pout->_33 = 1.0f / (zf - zn);
  pout->_43 = zn / (zn - zf);
  return pout;
}

D3DXMATRIX* D3DXMatrixOrthoRH(D3DXMATRIX* pout, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
  D3DXMatrixOrthoLH(pout, w, h, zn, zf);
  pout->_33 = 1.0f / (zn - zf);
  return pout;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pout, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                       FLOAT zn, FLOAT zf) {
  D3DXMatrixIdentity(pout);
  pout->_11 = 2.0f / (r - l);
  pout->_22 = 2.0f / (t - b);
  pout->_33 = 1.0f / (zf - zn);
  pout->_41 = (l + r) / (l - r);
  pout->_42 = (t + b) / (b - t);
  pout->_43 = zn / (zn - zf);
  return pout;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* pout, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                       FLOAT zn, FLOAT zf) {
  D3DXMatrixOrthoOffCenterLH(pout, l, r, b, t, zn, zf);
  pout->_33 = 1.0f / (zn - zf);
  return pout;
}
