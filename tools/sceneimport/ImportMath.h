// Small vector, quaternion and affine-matrix helpers for the importer. Matrices
// act on column vectors (p' = M p), as glTF and assimp write them.
#pragma once

#include <array>
#include <cmath>

namespace sceneimport {

struct Vec3 {
  float x = 0, y = 0, z = 0;
  bool operator==(const Vec3&) const = default;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalized(Vec3 a) {
  float l = Length(a);
  return l > 0 ? a * (1.0f / l) : Vec3{0, 0, 0};
}

// Quaternion x, y, z, w (Hamilton product; rotates column vectors as R(q) v).
struct Quat {
  float x = 0, y = 0, z = 0, w = 1;
  bool operator==(const Quat&) const = default;
};

// a * b: rotate by b first, then by a.
Quat Multiply(Quat a, Quat b);
Quat Normalized(Quat q);
Quat Slerp(Quat a, Quat b, float t);
Vec3 Rotate(Quat q, Vec3 v);
// The shortest rotation that turns unit vector `from` into unit vector `to`.
Quat RotationBetween(Vec3 from, Vec3 to);
// A rotation whose local -z becomes `forward` and local +y lies along `up`.
Quat LookRotation(Vec3 forward, Vec3 up);

struct Mat4 {
  std::array<std::array<float, 4>, 4> m{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
};

Mat4 Compose(Vec3 translation, Quat rotation, Vec3 scale);
Mat4 Multiply(const Mat4& a, const Mat4& b);  // a * b: b applied first
Vec3 TransformPoint(const Mat4& m, Vec3 p);
Vec3 TransformDirection(const Mat4& m, Vec3 d);
float Determinant3(const Mat4& m);
// The inverse of an affine matrix; identity when it is degenerate.
Mat4 InverseAffine(const Mat4& m);
// Translation, rotation and scale of an affine matrix (a mirroring matrix gets a
// negative x scale). False when it is degenerate.
bool Decompose(const Mat4& m, Vec3* translation, Quat* rotation, Vec3* scale);

}  // namespace sceneimport
