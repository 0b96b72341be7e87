// Inline members and small functions of d3dx9math.h, as D3DX keeps them inline.
// Included only by d3dx9math.h.
#pragma once

#include <cmath>

// ---- D3DXVECTOR2 --------------------------------------------------------------------
inline D3DXVECTOR2::D3DXVECTOR2(const FLOAT* pf) : x(pf[0]), y(pf[1]) {}
inline D3DXVECTOR2::D3DXVECTOR2(FLOAT fx, FLOAT fy) : x(fx), y(fy) {}
inline D3DXVECTOR2::operator FLOAT*() { return &x; }
inline D3DXVECTOR2::operator const FLOAT*() const { return &x; }
inline D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v) {
  x += v.x;
  y += v.y;
  return *this;
}
inline D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v) {
  x -= v.x;
  y -= v.y;
  return *this;
}
inline D3DXVECTOR2& D3DXVECTOR2::operator*=(FLOAT f) {
  x *= f;
  y *= f;
  return *this;
}
inline D3DXVECTOR2& D3DXVECTOR2::operator/=(FLOAT f) {
  x /= f;
  y /= f;
  return *this;
}
inline D3DXVECTOR2 D3DXVECTOR2::operator+() const { return *this; }
inline D3DXVECTOR2 D3DXVECTOR2::operator-() const { return D3DXVECTOR2(-x, -y); }
inline D3DXVECTOR2 D3DXVECTOR2::operator+(const D3DXVECTOR2& v) const {
  return D3DXVECTOR2(x + v.x, y + v.y);
}
inline D3DXVECTOR2 D3DXVECTOR2::operator-(const D3DXVECTOR2& v) const {
  return D3DXVECTOR2(x - v.x, y - v.y);
}
inline D3DXVECTOR2 D3DXVECTOR2::operator*(FLOAT f) const { return D3DXVECTOR2(x * f, y * f); }
inline D3DXVECTOR2 D3DXVECTOR2::operator/(FLOAT f) const { return D3DXVECTOR2(x / f, y / f); }
inline D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v) { return D3DXVECTOR2(f * v.x, f * v.y); }
inline WINBOOL D3DXVECTOR2::operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
inline WINBOOL D3DXVECTOR2::operator!=(const D3DXVECTOR2& v) const { return !(*this == v); }

// ---- D3DXVECTOR3 --------------------------------------------------------------------
inline D3DXVECTOR3::D3DXVECTOR3(const FLOAT* pf) : D3DVECTOR{pf[0], pf[1], pf[2]} {}
inline D3DXVECTOR3::D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
inline D3DXVECTOR3::D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) : D3DVECTOR{fx, fy, fz} {}
inline D3DXVECTOR3::operator FLOAT*() { return &x; }
inline D3DXVECTOR3::operator const FLOAT*() const { return &x; }
inline D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) {
  x += v.x;
  y += v.y;
  z += v.z;
  return *this;
}
inline D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) {
  x -= v.x;
  y -= v.y;
  z -= v.z;
  return *this;
}
inline D3DXVECTOR3& D3DXVECTOR3::operator*=(FLOAT f) {
  x *= f;
  y *= f;
  z *= f;
  return *this;
}
inline D3DXVECTOR3& D3DXVECTOR3::operator/=(FLOAT f) {
  x /= f;
  y /= f;
  z /= f;
  return *this;
}
inline D3DXVECTOR3 D3DXVECTOR3::operator+() const { return *this; }
inline D3DXVECTOR3 D3DXVECTOR3::operator-() const { return D3DXVECTOR3(-x, -y, -z); }
inline D3DXVECTOR3 D3DXVECTOR3::operator+(const D3DXVECTOR3& v) const {
  return D3DXVECTOR3(x + v.x, y + v.y, z + v.z);
}
inline D3DXVECTOR3 D3DXVECTOR3::operator-(const D3DXVECTOR3& v) const {
  return D3DXVECTOR3(x - v.x, y - v.y, z - v.z);
}
inline D3DXVECTOR3 D3DXVECTOR3::operator*(FLOAT f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
inline D3DXVECTOR3 D3DXVECTOR3::operator/(FLOAT f) const { return D3DXVECTOR3(x / f, y / f, z / f); }
inline D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v) {
  return D3DXVECTOR3(f * v.x, f * v.y, f * v.z);
}
inline WINBOOL D3DXVECTOR3::operator==(const D3DXVECTOR3& v) const {
  return x == v.x && y == v.y && z == v.z;
}
inline WINBOOL D3DXVECTOR3::operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }

// ---- D3DXVECTOR4 --------------------------------------------------------------------
inline D3DXVECTOR4::D3DXVECTOR4(const FLOAT* pf) : x(pf[0]), y(pf[1]), z(pf[2]), w(pf[3]) {}
inline D3DXVECTOR4::D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw)
    : x(fx), y(fy), z(fz), w(fw) {}
inline D3DXVECTOR4::operator FLOAT*() { return &x; }
inline D3DXVECTOR4::operator const FLOAT*() const { return &x; }
inline D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v) {
  x += v.x;
  y += v.y;
  z += v.z;
  w += v.w;
  return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v) {
  x -= v.x;
  y -= v.y;
  z -= v.z;
  w -= v.w;
  return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator*=(FLOAT f) {
  x *= f;
  y *= f;
  z *= f;
  w *= f;
  return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator/=(FLOAT f) {
  x /= f;
  y /= f;
  z /= f;
  w /= f;
  return *this;
}
inline D3DXVECTOR4 D3DXVECTOR4::operator+() const { return *this; }
inline D3DXVECTOR4 D3DXVECTOR4::operator-() const { return D3DXVECTOR4(-x, -y, -z, -w); }
inline D3DXVECTOR4 D3DXVECTOR4::operator+(const D3DXVECTOR4& v) const {
  return D3DXVECTOR4(x + v.x, y + v.y, z + v.z, w + v.w);
}
inline D3DXVECTOR4 D3DXVECTOR4::operator-(const D3DXVECTOR4& v) const {
  return D3DXVECTOR4(x - v.x, y - v.y, z - v.z, w - v.w);
}
inline D3DXVECTOR4 D3DXVECTOR4::operator*(FLOAT f) const {
  return D3DXVECTOR4(x * f, y * f, z * f, w * f);
}
inline D3DXVECTOR4 D3DXVECTOR4::operator/(FLOAT f) const {
  return D3DXVECTOR4(x / f, y / f, z / f, w / f);
}
inline D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v) {
  return D3DXVECTOR4(f * v.x, f * v.y, f * v.z, f * v.w);
}
inline WINBOOL D3DXVECTOR4::operator==(const D3DXVECTOR4& v) const {
  return x == v.x && y == v.y && z == v.z && w == v.w;
}
inline WINBOOL D3DXVECTOR4::operator!=(const D3DXVECTOR4& v) const { return !(*this == v); }

// ---- D3DXMATRIX ---------------------------------------------------------------------
inline D3DXMATRIX::D3DXMATRIX(const FLOAT* pf) {
  for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = pf[i];
}
inline D3DXMATRIX::D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}
inline D3DXMATRIX::D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22,
                              FLOAT f23, FLOAT f24, FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34,
                              FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44) {
  _11 = f11; _12 = f12; _13 = f13; _14 = f14;
  _21 = f21; _22 = f22; _23 = f23; _24 = f24;
  _31 = f31; _32 = f32; _33 = f33; _34 = f34;
  _41 = f41; _42 = f42; _43 = f43; _44 = f44;
}
inline FLOAT& D3DXMATRIX::operator()(UINT row, UINT col) { return m[row][col]; }
inline FLOAT D3DXMATRIX::operator()(UINT row, UINT col) const { return m[row][col]; }
inline D3DXMATRIX::operator FLOAT*() { return &m[0][0]; }
inline D3DXMATRIX::operator const FLOAT*() const { return &m[0][0]; }
inline D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat) {
  D3DXMatrixMultiply(this, this, &mat);
  return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat) {
  for (int i = 0; i < 16; ++i) m[i / 4][i % 4] += mat.m[i / 4][i % 4];
  return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat) {
  for (int i = 0; i < 16; ++i) m[i / 4][i % 4] -= mat.m[i / 4][i % 4];
  return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator*=(FLOAT f) {
  for (int i = 0; i < 16; ++i) m[i / 4][i % 4] *= f;
  return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator/=(FLOAT f) {
  const FLOAT inv = 1.0f / f;
  return *this *= inv;
}
inline D3DXMATRIX D3DXMATRIX::operator+() const { return *this; }
inline D3DXMATRIX D3DXMATRIX::operator-() const { return *this * -1.0f; }
inline D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const {
  D3DXMATRIX out;
  D3DXMatrixMultiply(&out, this, &mat);
  return out;
}
inline D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const {
  D3DXMATRIX out(*this);
  return out += mat;
}
inline D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const {
  D3DXMATRIX out(*this);
  return out -= mat;
}
inline D3DXMATRIX D3DXMATRIX::operator*(FLOAT f) const {
  D3DXMATRIX out(*this);
  return out *= f;
}
inline D3DXMATRIX D3DXMATRIX::operator/(FLOAT f) const {
  D3DXMATRIX out(*this);
  return out /= f;
}
inline D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& mat) { return mat * f; }
inline WINBOOL D3DXMATRIX::operator==(const D3DXMATRIX& mat) const {
  for (int i = 0; i < 16; ++i)
    if (m[i / 4][i % 4] != mat.m[i / 4][i % 4]) return FALSE;
  return TRUE;
}
inline WINBOOL D3DXMATRIX::operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }

// ---- D3DXQUATERNION -----------------------------------------------------------------
inline D3DXQUATERNION::D3DXQUATERNION(const FLOAT* pf) : x(pf[0]), y(pf[1]), z(pf[2]), w(pf[3]) {}
inline D3DXQUATERNION::D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw)
    : x(fx), y(fy), z(fz), w(fw) {}
inline D3DXQUATERNION::operator FLOAT*() { return &x; }
inline D3DXQUATERNION::operator const FLOAT*() const { return &x; }
inline D3DXQUATERNION& D3DXQUATERNION::operator+=(const D3DXQUATERNION& q) {
  x += q.x;
  y += q.y;
  z += q.z;
  w += q.w;
  return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator-=(const D3DXQUATERNION& q) {
  x -= q.x;
  y -= q.y;
  z -= q.z;
  w -= q.w;
  return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
  D3DXQuaternionMultiply(this, this, &q);
  return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator*=(FLOAT f) {
  x *= f;
  y *= f;
  z *= f;
  w *= f;
  return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator/=(FLOAT f) {
  const FLOAT inv = 1.0f / f;
  return *this *= inv;
}
inline D3DXQUATERNION D3DXQUATERNION::operator+() const { return *this; }
inline D3DXQUATERNION D3DXQUATERNION::operator-() const { return D3DXQUATERNION(-x, -y, -z, -w); }
inline D3DXQUATERNION D3DXQUATERNION::operator+(const D3DXQUATERNION& q) const {
  return D3DXQUATERNION(x + q.x, y + q.y, z + q.z, w + q.w);
}
inline D3DXQUATERNION D3DXQUATERNION::operator-(const D3DXQUATERNION& q) const {
  return D3DXQUATERNION(x - q.x, y - q.y, z - q.z, w - q.w);
}
inline D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
  D3DXQUATERNION out;
  D3DXQuaternionMultiply(&out, this, &q);
  return out;
}
inline D3DXQUATERNION D3DXQUATERNION::operator*(FLOAT f) const {
  return D3DXQUATERNION(x * f, y * f, z * f, w * f);
}
inline D3DXQUATERNION D3DXQUATERNION::operator/(FLOAT f) const {
  const FLOAT inv = 1.0f / f;
  return *this * inv;
}
inline D3DXQUATERNION operator*(FLOAT f, const D3DXQUATERNION& q) { return q * f; }
inline WINBOOL D3DXQUATERNION::operator==(const D3DXQUATERNION& q) const {
  return x == q.x && y == q.y && z == q.z && w == q.w;
}
inline WINBOOL D3DXQUATERNION::operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }

// ---- D3DXPLANE ----------------------------------------------------------------------
inline D3DXPLANE::D3DXPLANE(const FLOAT* pf) : a(pf[0]), b(pf[1]), c(pf[2]), d(pf[3]) {}
inline D3DXPLANE::D3DXPLANE(FLOAT fa, FLOAT fb, FLOAT fc, FLOAT fd) : a(fa), b(fb), c(fc), d(fd) {}
inline D3DXPLANE::operator FLOAT*() { return &a; }
inline D3DXPLANE::operator const FLOAT*() const { return &a; }
inline D3DXPLANE D3DXPLANE::operator+() const { return *this; }
inline D3DXPLANE D3DXPLANE::operator-() const { return D3DXPLANE(-a, -b, -c, -d); }
inline WINBOOL D3DXPLANE::operator==(const D3DXPLANE& p) const {
  return a == p.a && b == p.b && c == p.c && d == p.d;
}
inline WINBOOL D3DXPLANE::operator!=(const D3DXPLANE& p) const { return !(*this == p); }

// ---- D3DXCOLOR ----------------------------------------------------------------------
inline D3DXCOLOR::D3DXCOLOR(DWORD col) {
  constexpr FLOAT f = 1.0f / 255.0f;
  r = f * static_cast<FLOAT>((col >> 16) & 0xff);
  g = f * static_cast<FLOAT>((col >> 8) & 0xff);
  b = f * static_cast<FLOAT>(col & 0xff);
  a = f * static_cast<FLOAT>((col >> 24) & 0xff);
}
inline D3DXCOLOR::D3DXCOLOR(const FLOAT* pf) : r(pf[0]), g(pf[1]), b(pf[2]), a(pf[3]) {}
inline D3DXCOLOR::D3DXCOLOR(const D3DCOLORVALUE& col) : r(col.r), g(col.g), b(col.b), a(col.a) {}
inline D3DXCOLOR::D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa) : r(fr), g(fg), b(fb), a(fa) {}
inline D3DXCOLOR::operator DWORD() const {
  // Not-a-number packs as 0 rather than reaching an undefined conversion.
  auto toByte = [](FLOAT v) -> DWORD {
    return v >= 1.0f ? 0xffu : !(v > 0.0f) ? 0x00u : static_cast<DWORD>(v * 255.0f + 0.5f);
  };
  return (toByte(a) << 24) | (toByte(r) << 16) | (toByte(g) << 8) | toByte(b);
}
inline D3DXCOLOR::operator FLOAT*() { return &r; }
inline D3DXCOLOR::operator const FLOAT*() const { return &r; }
inline D3DXCOLOR::operator D3DCOLORVALUE*() { return reinterpret_cast<D3DCOLORVALUE*>(&r); }
inline D3DXCOLOR::operator const D3DCOLORVALUE*() const {
  return reinterpret_cast<const D3DCOLORVALUE*>(&r);
}
inline D3DXCOLOR::operator D3DCOLORVALUE&() { return *reinterpret_cast<D3DCOLORVALUE*>(&r); }
inline D3DXCOLOR::operator const D3DCOLORVALUE&() const {
  return *reinterpret_cast<const D3DCOLORVALUE*>(&r);
}
inline D3DXCOLOR& D3DXCOLOR::operator+=(const D3DXCOLOR& col) {
  r += col.r;
  g += col.g;
  b += col.b;
  a += col.a;
  return *this;
}
inline D3DXCOLOR& D3DXCOLOR::operator-=(const D3DXCOLOR& col) {
  r -= col.r;
  g -= col.g;
  b -= col.b;
  a -= col.a;
  return *this;
}
inline D3DXCOLOR& D3DXCOLOR::operator*=(FLOAT f) {
  r *= f;
  g *= f;
  b *= f;
  a *= f;
  return *this;
}
inline D3DXCOLOR& D3DXCOLOR::operator/=(FLOAT f) {
  const FLOAT inv = 1.0f / f;
  return *this *= inv;
}
inline D3DXCOLOR D3DXCOLOR::operator+() const { return *this; }
inline D3DXCOLOR D3DXCOLOR::operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }
inline D3DXCOLOR D3DXCOLOR::operator+(const D3DXCOLOR& col) const {
  return D3DXCOLOR(r + col.r, g + col.g, b + col.b, a + col.a);
}
inline D3DXCOLOR D3DXCOLOR::operator-(const D3DXCOLOR& col) const {
  return D3DXCOLOR(r - col.r, g - col.g, b - col.b, a - col.a);
}
inline D3DXCOLOR D3DXCOLOR::operator*(FLOAT f) const { return D3DXCOLOR(r * f, g * f, b * f, a * f); }
inline D3DXCOLOR D3DXCOLOR::operator/(FLOAT f) const {
  const FLOAT inv = 1.0f / f;
  return *this * inv;
}
inline D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& col) { return col * f; }
inline WINBOOL D3DXCOLOR::operator==(const D3DXCOLOR& col) const {
  return r == col.r && g == col.g && b == col.b && a == col.a;
}
inline WINBOOL D3DXCOLOR::operator!=(const D3DXCOLOR& col) const { return !(*this == col); }

// ---- Small functions D3DX keeps inline ----------------------------------------------
inline FLOAT D3DXVec2Length(const D3DXVECTOR2* pv) { return std::sqrt(pv->x * pv->x + pv->y * pv->y); }
inline FLOAT D3DXVec2LengthSq(const D3DXVECTOR2* pv) { return pv->x * pv->x + pv->y * pv->y; }
inline FLOAT D3DXVec2Dot(const D3DXVECTOR2* pv1, const D3DXVECTOR2* pv2) {
  return pv1->x * pv2->x + pv1->y * pv2->y;
}
// The z component of the 3D cross product: positive when pv2 is counter-clockwise of pv1.
inline FLOAT D3DXVec2CCW(const D3DXVECTOR2* pv1, const D3DXVECTOR2* pv2) {
  return pv1->x * pv2->y - pv1->y * pv2->x;
}
inline D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* pout, const D3DXVECTOR2* pv1, const D3DXVECTOR2* pv2) {
  *pout = D3DXVECTOR2(pv1->x + pv2->x, pv1->y + pv2->y);
  return pout;
}
inline D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* pout, const D3DXVECTOR2* pv1,
                                     const D3DXVECTOR2* pv2) {
  *pout = D3DXVECTOR2(pv1->x - pv2->x, pv1->y - pv2->y);
  return pout;
}
inline D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* pout, const D3DXVECTOR2* pv, FLOAT s) {
  *pout = D3DXVECTOR2(pv->x * s, pv->y * s);
  return pout;
}
inline D3DXVECTOR2* D3DXVec2Lerp(D3DXVECTOR2* pout, const D3DXVECTOR2* pv1, const D3DXVECTOR2* pv2,
                                 FLOAT s) {
  *pout = D3DXVECTOR2(pv1->x + s * (pv2->x - pv1->x), pv1->y + s * (pv2->y - pv1->y));
  return pout;
}

inline FLOAT D3DXVec3Length(const D3DXVECTOR3* pv) {
  return std::sqrt(pv->x * pv->x + pv->y * pv->y + pv->z * pv->z);
}
inline FLOAT D3DXVec3LengthSq(const D3DXVECTOR3* pv) {
  return pv->x * pv->x + pv->y * pv->y + pv->z * pv->z;
}
inline FLOAT D3DXVec3Dot(const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2) {
  return pv1->x * pv2->x + pv1->y * pv2->y + pv1->z * pv2->z;
}
inline D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pout, const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2) {
  *pout = D3DXVECTOR3(pv1->y * pv2->z - pv1->z * pv2->y, pv1->z * pv2->x - pv1->x * pv2->z,
                      pv1->x * pv2->y - pv1->y * pv2->x);
  return pout;
}
inline D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pout, const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2) {
  *pout = D3DXVECTOR3(pv1->x + pv2->x, pv1->y + pv2->y, pv1->z + pv2->z);
  return pout;
}
inline D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pout, const D3DXVECTOR3* pv1,
                                     const D3DXVECTOR3* pv2) {
  *pout = D3DXVECTOR3(pv1->x - pv2->x, pv1->y - pv2->y, pv1->z - pv2->z);
  return pout;
}
inline D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pout, const D3DXVECTOR3* pv1,
                                     const D3DXVECTOR3* pv2) {
  *pout = D3DXVECTOR3(pv1->x < pv2->x ? pv1->x : pv2->x, pv1->y < pv2->y ? pv1->y : pv2->y,
                      pv1->z < pv2->z ? pv1->z : pv2->z);
  return pout;
}
inline D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pout, const D3DXVECTOR3* pv1,
                                     const D3DXVECTOR3* pv2) {
  *pout = D3DXVECTOR3(pv1->x > pv2->x ? pv1->x : pv2->x, pv1->y > pv2->y ? pv1->y : pv2->y,
                      pv1->z > pv2->z ? pv1->z : pv2->z);
  return pout;
}
inline D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pout, const D3DXVECTOR3* pv, FLOAT s) {
  *pout = D3DXVECTOR3(pv->x * s, pv->y * s, pv->z * s);
  return pout;
}
inline D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pout, const D3DXVECTOR3* pv1, const D3DXVECTOR3* pv2,
                                 FLOAT s) {
  *pout = D3DXVECTOR3(pv1->x + s * (pv2->x - pv1->x), pv1->y + s * (pv2->y - pv1->y),
                      pv1->z + s * (pv2->z - pv1->z));
  return pout;
}

inline FLOAT D3DXVec4Length(const D3DXVECTOR4* pv) {
  return std::sqrt(pv->x * pv->x + pv->y * pv->y + pv->z * pv->z + pv->w * pv->w);
}
inline FLOAT D3DXVec4LengthSq(const D3DXVECTOR4* pv) {
  return pv->x * pv->x + pv->y * pv->y + pv->z * pv->z + pv->w * pv->w;
}
inline FLOAT D3DXVec4Dot(const D3DXVECTOR4* pv1, const D3DXVECTOR4* pv2) {
  return pv1->x * pv2->x + pv1->y * pv2->y + pv1->z * pv2->z + pv1->w * pv2->w;
}
inline D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* pout, const D3DXVECTOR4* pv1, const D3DXVECTOR4* pv2) {
  *pout = D3DXVECTOR4(pv1->x + pv2->x, pv1->y + pv2->y, pv1->z + pv2->z, pv1->w + pv2->w);
  return pout;
}
inline D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* pout, const D3DXVECTOR4* pv1,
                                     const D3DXVECTOR4* pv2) {
  *pout = D3DXVECTOR4(pv1->x - pv2->x, pv1->y - pv2->y, pv1->z - pv2->z, pv1->w - pv2->w);
  return pout;
}
inline D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* pout, const D3DXVECTOR4* pv, FLOAT s) {
  *pout = D3DXVECTOR4(pv->x * s, pv->y * s, pv->z * s, pv->w * s);
  return pout;
}
inline D3DXVECTOR4* D3DXVec4Lerp(D3DXVECTOR4* pout, const D3DXVECTOR4* pv1, const D3DXVECTOR4* pv2,
                                 FLOAT s) {
  *pout = D3DXVECTOR4(pv1->x + s * (pv2->x - pv1->x), pv1->y + s * (pv2->y - pv1->y),
                      pv1->z + s * (pv2->z - pv1->z), pv1->w + s * (pv2->w - pv1->w));
  return pout;
}

inline D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pout) {
  *pout = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  return pout;
}
inline WINBOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pm) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (pm->m[i][j] != (i == j ? 1.0f : 0.0f)) return FALSE;
  return TRUE;
}

inline FLOAT D3DXQuaternionLength(const D3DXQUATERNION* pq) {
  return std::sqrt(pq->x * pq->x + pq->y * pq->y + pq->z * pq->z + pq->w * pq->w);
}
inline FLOAT D3DXQuaternionLengthSq(const D3DXQUATERNION* pq) {
  return pq->x * pq->x + pq->y * pq->y + pq->z * pq->z + pq->w * pq->w;
}
inline FLOAT D3DXQuaternionDot(const D3DXQUATERNION* pq1, const D3DXQUATERNION* pq2) {
  return pq1->x * pq2->x + pq1->y * pq2->y + pq1->z * pq2->z + pq1->w * pq2->w;
}
inline D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pout) {
  *pout = D3DXQUATERNION(0, 0, 0, 1);
  return pout;
}
inline WINBOOL D3DXQuaternionIsIdentity(const D3DXQUATERNION* pq) {
  return pq->x == 0 && pq->y == 0 && pq->z == 0 && pq->w == 1;
}
inline D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* pout, const D3DXQUATERNION* pq) {
  *pout = D3DXQUATERNION(-pq->x, -pq->y, -pq->z, pq->w);
  return pout;
}

inline FLOAT D3DXPlaneDot(const D3DXPLANE* pp, const D3DXVECTOR4* pv) {
  return pp->a * pv->x + pp->b * pv->y + pp->c * pv->z + pp->d * pv->w;
}
// Signed distance of a point from a normalised plane.
inline FLOAT D3DXPlaneDotCoord(const D3DXPLANE* pp, const D3DXVECTOR3* pv) {
  return pp->a * pv->x + pp->b * pv->y + pp->c * pv->z + pp->d;
}
inline FLOAT D3DXPlaneDotNormal(const D3DXPLANE* pp, const D3DXVECTOR3* pv) {
  return pp->a * pv->x + pp->b * pv->y + pp->c * pv->z;
}
inline D3DXPLANE* D3DXPlaneScale(D3DXPLANE* pout, const D3DXPLANE* pp, FLOAT s) {
  *pout = D3DXPLANE(pp->a * s, pp->b * s, pp->c * s, pp->d * s);
  return pout;
}

inline D3DXCOLOR* D3DXColorNegative(D3DXCOLOR* pout, const D3DXCOLOR* pc) {
  *pout = D3DXCOLOR(1.0f - pc->r, 1.0f - pc->g, 1.0f - pc->b, pc->a);
  return pout;
}
inline D3DXCOLOR* D3DXColorAdd(D3DXCOLOR* pout, const D3DXCOLOR* pc1, const D3DXCOLOR* pc2) {
  *pout = *pc1 + *pc2;
  return pout;
}
inline D3DXCOLOR* D3DXColorSubtract(D3DXCOLOR* pout, const D3DXCOLOR* pc1, const D3DXCOLOR* pc2) {
  *pout = *pc1 - *pc2;
  return pout;
}
inline D3DXCOLOR* D3DXColorScale(D3DXCOLOR* pout, const D3DXCOLOR* pc, FLOAT s) {
  *pout = *pc * s;
  return pout;
}
inline D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* pout, const D3DXCOLOR* pc1, const D3DXCOLOR* pc2) {
  *pout = D3DXCOLOR(pc1->r * pc2->r, pc1->g * pc2->g, pc1->b * pc2->b, pc1->a * pc2->a);
  return pout;
}
inline D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* pout, const D3DXCOLOR* pc1, const D3DXCOLOR* pc2,
                                FLOAT s) {
  *pout = D3DXCOLOR(pc1->r + s * (pc2->r - pc1->r), pc1->g + s * (pc2->g - pc1->g),
                    pc1->b + s * (pc2->b - pc1->b), pc1->a + s * (pc2->a - pc1->a));
  return pout;
}
