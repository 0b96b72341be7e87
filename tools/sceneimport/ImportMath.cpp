#include "tools/sceneimport/ImportMath.h"

#include <algorithm>

#include "platform/d3d9/MatrixMath.h"

namespace sceneimport {

Quat Multiply(Quat a, Quat b) {
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
          a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
          a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quat Normalized(Quat q) {
  float l = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  if (!(l > 0)) return {0, 0, 0, 1};
  return {q.x / l, q.y / l, q.z / l, q.w / l};
}

Quat Slerp(Quat a, Quat b, float t) {
  float d = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
  if (d < 0) {
    d = -d;
    b = {-b.x, -b.y, -b.z, -b.w};
  }
  float wa = 1 - t, wb = t;
  if (d < 0.9995f) {
    float angle = std::acos(std::clamp(d, -1.0f, 1.0f));
    float s = std::sin(angle);
    wa = std::sin((1 - t) * angle) / s;
    wb = std::sin(t * angle) / s;
  }
  return Normalized(
      Quat{wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w});
}

Vec3 Rotate(Quat q, Vec3 v) {
  Vec3 u{q.x, q.y, q.z};
  Vec3 t = Cross(u, v) * 2.0f;
  return v + t * q.w + Cross(u, t);
}

Quat RotationBetween(Vec3 from, Vec3 to) {
  float d = Dot(from, to);
  if (d < -0.999999f) {
    // Half turn about any axis perpendicular to `from`.
    Vec3 axis = Cross(Vec3{1, 0, 0}, from);
    if (Length(axis) < 1e-6f) axis = Cross(Vec3{0, 1, 0}, from);
    axis = Normalized(axis);
    return {axis.x, axis.y, axis.z, 0};
  }
  Vec3 c = Cross(from, to);
  return Normalized(Quat{c.x, c.y, c.z, 1 + d});
}

Quat LookRotation(Vec3 forward, Vec3 up) {
  Vec3 back = Normalized(forward * -1.0f);
  Vec3 right = Normalized(Cross(up, back));
  if (Length(right) < 1e-6f) return RotationBetween({0, 0, -1}, Normalized(forward));
  Vec3 upAxis = Cross(back, right);
  Mat4 m;
  m.m[0] = {right.x, upAxis.x, back.x, 0};
  m.m[1] = {right.y, upAxis.y, back.y, 0};
  m.m[2] = {right.z, upAxis.z, back.z, 0};
  Vec3 t, s;
  Quat q;
  Decompose(m, &t, &q, &s);
  return q;
}

Mat4 Compose(Vec3 t, Quat q, Vec3 s) {
  q = Normalized(q);
  float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  Mat4 r;
  r.m[0] = {(1 - 2 * (yy + zz)) * s.x, 2 * (xy - wz) * s.y, 2 * (xz + wy) * s.z, t.x};
  r.m[1] = {2 * (xy + wz) * s.x, (1 - 2 * (xx + zz)) * s.y, 2 * (yz - wx) * s.z, t.y};
  r.m[2] = {2 * (xz - wy) * s.x, 2 * (yz + wx) * s.y, (1 - 2 * (xx + yy)) * s.z, t.z};
  r.m[3] = {0, 0, 0, 1};
  return r;
}

Mat4 Multiply(const Mat4& a, const Mat4& b) { return MultiplyMatrices(a, b); }

Vec3 TransformPoint(const Mat4& m, Vec3 p) {
  return {m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
          m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
          m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
}

Vec3 TransformDirection(const Mat4& m, Vec3 d) {
  return {m.m[0][0] * d.x + m.m[0][1] * d.y + m.m[0][2] * d.z,
          m.m[1][0] * d.x + m.m[1][1] * d.y + m.m[1][2] * d.z,
          m.m[2][0] * d.x + m.m[2][1] * d.y + m.m[2][2] * d.z};
}

float Determinant3(const Mat4& a) {
  const auto& m = a.m;
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

bool Decompose(const Mat4& a, Vec3* translation, Quat* rotation, Vec3* scale) {
  const auto& m = a.m;
  *translation = {m[0][3], m[1][3], m[2][3]};
  Vec3 c0{m[0][0], m[1][0], m[2][0]}, c1{m[0][1], m[1][1], m[2][1]}, c2{m[0][2], m[1][2], m[2][2]};
  Vec3 s{Length(c0), Length(c1), Length(c2)};
  if (!(s.x > 0) || !(s.y > 0) || !(s.z > 0)) {
    *rotation = {0, 0, 0, 1};
    *scale = s;
    return false;
  }
  if (Determinant3(a) < 0) s.x = -s.x;
  c0 = c0 * (1 / s.x);
  c1 = c1 * (1 / s.y);
  c2 = c2 * (1 / s.z);
  // Rotation matrix to quaternion (columns c0, c1, c2).
  float trace = c0.x + c1.y + c2.z;
  Quat q;
  if (trace > 0) {
    float k = 0.5f / std::sqrt(trace + 1);
    q = {(c1.z - c2.y) * k, (c2.x - c0.z) * k, (c0.y - c1.x) * k, 0.25f / k};
  } else if (c0.x > c1.y && c0.x > c2.z) {
    float k = 2 * std::sqrt(1 + c0.x - c1.y - c2.z);
    q = {0.25f * k, (c1.x + c0.y) / k, (c2.x + c0.z) / k, (c1.z - c2.y) / k};
  } else if (c1.y > c2.z) {
    float k = 2 * std::sqrt(1 + c1.y - c0.x - c2.z);
    q = {(c1.x + c0.y) / k, 0.25f * k, (c2.y + c1.z) / k, (c2.x - c0.z) / k};
  } else {
    float k = 2 * std::sqrt(1 + c2.z - c0.x - c1.y);
    q = {(c2.x + c0.z) / k, (c2.y + c1.z) / k, 0.25f * k, (c0.y - c1.x) / k};
  }
  *rotation = Normalized(q);
  *scale = s;
  return true;
}

}  // namespace sceneimport
