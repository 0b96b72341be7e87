// The Direct3D extension library's math, as D3DX declares it: vector, matrix,
// quaternion, plane and colour types with their operators, and the functions the
// show code calls. Conventions are D3DX's: row vectors (a point p maps to p * M,
// translation in the fourth row), left-handed projections unless named RH,
// quaternions (x, y, z, w) where q1 * q2 is the rotation q1 followed by q2.
// Every function writes its result through the out pointer and returns it; the out
// argument may alias an input. Default constructors leave values uninitialised, as
// in D3DX. Not here: spherical harmonics, matrix stacks, float16, array variants.
#pragma once

#include "platform/d3d9/d3d9types.h"

#define D3DX_PI (static_cast<FLOAT>(3.141592654))
#define D3DX_1BYPI (static_cast<FLOAT>(0.318309886))
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))

struct D3DXVECTOR2 {
  D3DXVECTOR2() = default;
  D3DXVECTOR2(const FLOAT* pf);
  D3DXVECTOR2(FLOAT fx, FLOAT fy);

  operator FLOAT*();
  operator const FLOAT*() const;

  D3DXVECTOR2& operator+=(const D3DXVECTOR2&);
  D3DXVECTOR2& operator-=(const D3DXVECTOR2&);
  D3DXVECTOR2& operator*=(FLOAT);
  D3DXVECTOR2& operator/=(FLOAT);

  D3DXVECTOR2 operator+() const;
  D3DXVECTOR2 operator-() const;

  D3DXVECTOR2 operator+(const D3DXVECTOR2&) const;
  D3DXVECTOR2 operator-(const D3DXVECTOR2&) const;
  D3DXVECTOR2 operator*(FLOAT) const;
  D3DXVECTOR2 operator/(FLOAT) const;

  friend D3DXVECTOR2 operator*(FLOAT, const D3DXVECTOR2&);

  WINBOOL operator==(const D3DXVECTOR2&) const;
  WINBOOL operator!=(const D3DXVECTOR2&) const;

  FLOAT x, y;
};

struct D3DXVECTOR3 : public D3DVECTOR {
  D3DXVECTOR3() = default;
  D3DXVECTOR3(const FLOAT* pf);
  D3DXVECTOR3(const D3DVECTOR& v);
  D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz);

  operator FLOAT*();
  operator const FLOAT*() const;

  D3DXVECTOR3& operator+=(const D3DXVECTOR3&);
  D3DXVECTOR3& operator-=(const D3DXVECTOR3&);
  D3DXVECTOR3& operator*=(FLOAT);
  D3DXVECTOR3& operator/=(FLOAT);

  D3DXVECTOR3 operator+() const;
  D3DXVECTOR3 operator-() const;

  D3DXVECTOR3 operator+(const D3DXVECTOR3&) const;
  D3DXVECTOR3 operator-(const D3DXVECTOR3&) const;
  D3DXVECTOR3 operator*(FLOAT) const;
  D3DXVECTOR3 operator/(FLOAT) const;

  friend D3DXVECTOR3 operator*(FLOAT, const D3DXVECTOR3&);

  WINBOOL operator==(const D3DXVECTOR3&) const;
  WINBOOL operator!=(const D3DXVECTOR3&) const;
};

struct D3DXVECTOR4 {
  D3DXVECTOR4() = default;
  D3DXVECTOR4(const FLOAT* pf);
  D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw);

  operator FLOAT*();
  operator const FLOAT*() const;

  D3DXVECTOR4& operator+=(const D3DXVECTOR4&);
  D3DXVECTOR4& operator-=(const D3DXVECTOR4&);
  D3DXVECTOR4& operator*=(FLOAT);
  D3DXVECTOR4& operator/=(FLOAT);

  D3DXVECTOR4 operator+() const;
  D3DXVECTOR4 operator-() const;

  D3DXVECTOR4 operator+(const D3DXVECTOR4&) const;
  D3DXVECTOR4 operator-(const D3DXVECTOR4&) const;
  D3DXVECTOR4 operator*(FLOAT) const;
  D3DXVECTOR4 operator/(FLOAT) const;

  friend D3DXVECTOR4 operator*(FLOAT, const D3DXVECTOR4&);

  WINBOOL operator==(const D3DXVECTOR4&) const;
  WINBOOL operator!=(const D3DXVECTOR4&) const;

  FLOAT x, y, z, w;
};

struct D3DXMATRIX : public D3DMATRIX {
  D3DXMATRIX() = default;
  D3DXMATRIX(const FLOAT* pf);
  D3DXMATRIX(const D3DMATRIX& mat);
  D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23,
             FLOAT f24, FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42,
             FLOAT f43, FLOAT f44);

  FLOAT& operator()(UINT row, UINT col);
  FLOAT operator()(UINT row, UINT col) const;

  operator FLOAT*();
  operator const FLOAT*() const;

  D3DXMATRIX& operator*=(const D3DXMATRIX&);
  D3DXMATRIX& operator+=(const D3DXMATRIX&);
  D3DXMATRIX& operator-=(const D3DXMATRIX&);
  D3DXMATRIX& operator*=(FLOAT);
  D3DXMATRIX& operator/=(FLOAT);

  D3DXMATRIX operator+() const;
  D3DXMATRIX operator-() const;

  D3DXMATRIX operator*(const D3DXMATRIX&) const;
  D3DXMATRIX operator+(const D3DXMATRIX&) const;
  D3DXMATRIX operator-(const D3DXMATRIX&) const;
  D3DXMATRIX operator*(FLOAT) const;
  D3DXMATRIX operator/(FLOAT) const;

  friend D3DXMATRIX operator*(FLOAT, const D3DXMATRIX&);

  WINBOOL operator==(const D3DXMATRIX&) const;
  WINBOOL operator!=(const D3DXMATRIX&) const;
};

struct D3DXQUATERNION {
  D3DXQUATERNION() = default;
  D3DXQUATERNION(const FLOAT* pf);
  D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw);

  operator FLOAT*();
  operator const FLOAT*() const;

  D3DXQUATERNION& operator+=(const D3DXQUATERNION&);
  D3DXQUATERNION& operator-=(const D3DXQUATERNION&);
  D3DXQUATERNION& operator*=(const D3DXQUATERNION&);
  D3DXQUATERNION& operator*=(FLOAT);
  D3DXQUATERNION& operator/=(FLOAT);

  D3DXQUATERNION operator+() const;
  D3DXQUATERNION operator-() const;

  D3DXQUATERNION operator+(const D3DXQUATERNION&) const;
  D3DXQUATERNION operator-(const D3DXQUATERNION&) const;
  D3DXQUATERNION operator*(const D3DXQUATERNION&) const;
  D3DXQUATERNION operator*(FLOAT) const;
  D3DXQUATERNION operator/(FLOAT) const;

  friend D3DXQUATERNION operator*(FLOAT, const D3DXQUATERNION&);

  WINBOOL operator==(const D3DXQUATERNION&) const;
  WINBOOL operator!=(const D3DXQUATERNION&) const;

  FLOAT x, y, z, w;
};

struct D3DXPLANE {
  D3DXPLANE() = default;
  D3DXPLANE(const FLOAT* pf);
  D3DXPLANE(FLOAT fa, FLOAT fb, FLOAT fc, FLOAT fd);

  operator FLOAT*();
  operator const FLOAT*() const;

  D3DXPLANE operator+() const;
  D3DXPLANE operator-() const;

  WINBOOL operator==(const D3DXPLANE&) const;
  WINBOOL operator!=(const D3DXPLANE&) const;

  FLOAT a, b, c, d;
};

struct D3DXCOLOR {
  D3DXCOLOR() = default;
  D3DXCOLOR(DWORD col);
  D3DXCOLOR(const FLOAT* pf);
  D3DXCOLOR(const D3DCOLORVALUE& col);
  D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa);

  // Each channel: 1.0 or more gives 255, 0 or less (or NaN) gives 0, else
  // value * 255 + 0.5 truncated; packed as ARGB. Every packed colour the show
  // computes goes through here.
  operator DWORD() const;

  operator FLOAT*();
  operator const FLOAT*() const;

  operator D3DCOLORVALUE*();
  operator const D3DCOLORVALUE*() const;

  operator D3DCOLORVALUE&();
  operator const D3DCOLORVALUE&() const;

  D3DXCOLOR& operator+=(const D3DXCOLOR&);
  D3DXCOLOR& operator-=(const D3DXCOLOR&);
  D3DXCOLOR& operator*=(FLOAT);
  D3DXCOLOR& operator/=(FLOAT);

  D3DXCOLOR operator+() const;
  D3DXCOLOR operator-() const;

  D3DXCOLOR operator+(const D3DXCOLOR&) const;
  D3DXCOLOR operator-(const D3DXCOLOR&) const;
  D3DXCOLOR operator*(FLOAT) const;
  D3DXCOLOR operator/(FLOAT) const;

  friend D3DXCOLOR operator*(FLOAT, const D3DXCOLOR&);

  WINBOOL operator==(const D3DXCOLOR&) const;
  WINBOOL operator!=(const D3DXCOLOR&) const;

  FLOAT r, g, b, a;
};

using LPD3DXVECTOR2 = D3DXVECTOR2*;
using LPD3DXVECTOR3 = D3DXVECTOR3*;
using LPD3DXVECTOR4 = D3DXVECTOR4*;
using LPD3DXMATRIX = D3DXMATRIX*;
using LPD3DXQUATERNION = D3DXQUATERNION*;
using LPD3DXPLANE = D3DXPLANE*;
using LPD3DXCOLOR = D3DXCOLOR*;

// ---- Matrices -----------------------------------------------------------------------
FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* pm);
// Null (and *pdeterminant untouched) when the matrix is singular.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pout, FLOAT* pdeterminant, const D3DXMATRIX* pm);
// pout = pm1 * pm2: the transformation pm1 followed by pm2.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pout, const D3DXMATRIX* pm1, const D3DXMATRIX* pm2);
D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* pout, const D3DXMATRIX* pm1,
                                        const D3DXMATRIX* pm2);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pout, const D3DXMATRIX* pm);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pout, FLOAT x, FLOAT y, FLOAT z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pout, FLOAT sx, FLOAT sy, FLOAT sz);
// Angles in radians, clockwise looking along the axis towards the origin (left-handed).
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pout, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pout, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pout, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pout, const D3DXVECTOR3* pv, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pout, const D3DXQUATERNION* pq);
// Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pout, FLOAT yaw, FLOAT pitch, FLOAT roll);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pout, const D3DXVECTOR3* peye, const D3DXVECTOR3* pat,
                               const D3DXVECTOR3* pup);
D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* pout, const D3DXVECTOR3* peye, const D3DXVECTOR3* pat,
                               const D3DXVECTOR3* pup);
// fovy: vertical field of view in radians; depth maps zn..zf to 0..1.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pout, FLOAT fovy, FLOAT aspect, FLOAT zn,
                                       FLOAT zf);
D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* pout, FLOAT fovy, FLOAT aspect, FLOAT zn,
                                       FLOAT zf);
D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* pout, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* pout, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                             FLOAT zn, FLOAT zf);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pout, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* D3DXMatrixOrthoRH(D3DXMATRIX* pout, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pout, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                       FLOAT zn, FLOAT zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* pout, FLOAT l, FLOAT r, FLOAT b, FLOAT t,
                                       FLOAT zn, FLOAT zf);

// ---- Quaternions --------------------------------------------------------------------
// The rotation pq1 followed by pq2 (the product pq2 * pq1 in Hamilton's notation).
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pout, const D3DXQUATERNION* pq1,
                                       const D3DXQUATERNION* pq2);
// A zero quaternion stays zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pout, const D3DXQUATERNION* pq);
D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* pout, const D3DXQUATERNION* pq);
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pout, const D3DXVECTOR3* pv,
                                           FLOAT angle);
// The rotation part of pm, which must be a pure rotation (orthonormal 3x3).
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pout, const D3DXMATRIX* pm);
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pout, FLOAT yaw, FLOAT pitch,
                                                   FLOAT roll);
// Spherical interpolation along the shorter arc; t = 0 gives pq1, t = 1 gives pq2
// (or its negation, the same rotation).
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pout, const D3DXQUATERNION* pq1,
                                    const D3DXQUATERNION* pq2, FLOAT t);
void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* pq, D3DXVECTOR3* paxis, FLOAT* pangle);

// ---- Vectors ------------------------------------------------------------------------
// A zero vector normalises to zero.
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* pout, const D3DXVECTOR2* pv);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pout, const D3DXVECTOR3* pv);
D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* pout, const D3DXVECTOR4* pv);
D3DXVECTOR4* D3DXVec2Transform(D3DXVECTOR4* pout, const D3DXVECTOR2* pv, const D3DXMATRIX* pm);
D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* pout, const D3DXVECTOR2* pv,
                                    const D3DXMATRIX* pm);
// (x, y, z, 1) * M.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pout, const D3DXVECTOR3* pv, const D3DXMATRIX* pm);
// (x, y, z, 1) * M, divided by the resulting w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pout, const D3DXVECTOR3* pv,
                                    const D3DXMATRIX* pm);
// (x, y, z, 0) * M: a direction, without translation.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pout, const D3DXVECTOR3* pv,
                                     const D3DXMATRIX* pm);
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pout, const D3DXVECTOR4* pv, const D3DXMATRIX* pm);

// ---- Planes -------------------------------------------------------------------------
// Divides all four coefficients by the length of (a, b, c); a zero normal gives zero.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pout, const D3DXPLANE* pp);
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pout, const D3DXVECTOR3* pvpoint,
                                    const D3DXVECTOR3* pvnormal);
// Normal = normalize((pv2 - pv1) x (pv3 - pv1)).
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pout, const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2,
                               const D3DXVECTOR3* pv3);
// (a, b, c, d) * M; pass the inverse transpose of a point transformation.
D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* pout, const D3DXPLANE* pplane, const D3DXMATRIX* pm);
// Null when the line is parallel to the plane.
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* pout, const D3DXPLANE* pp,
                                    const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2);

// ---- Colours ------------------------------------------------------------------------
D3DXCOLOR* D3DXColorAdjustSaturation(D3DXCOLOR* pout, const D3DXCOLOR* pc, FLOAT s);
D3DXCOLOR* D3DXColorAdjustContrast(D3DXCOLOR* pout, const D3DXCOLOR* pc, FLOAT c);

#include "platform/d3dx/d3dx9math.inl"
