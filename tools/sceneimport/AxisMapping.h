// From the source's right-handed, y-up world to the scene's left-handed, z-up one:
// y and z trade places. This is a mirror, which is what turns a right-handed
// picture into the same left-handed one; a camera at rest (looking along -z with +y
// up) becomes the scene's camera at rest (looking along -y with +z up).
#pragma once

#include "tools/sceneimport/ImportMath.h"

namespace sceneimport {

inline Vec3 MapPoint(Vec3 p, float scale) { return {p.x * scale, p.z * scale, p.y * scale}; }
inline Vec3 MapDirection(Vec3 d) { return {d.x, d.z, d.y}; }
inline Vec3 MapScale(Vec3 s) { return {s.x, s.z, s.y}; }
// Conjugating a rotation by a mirror swaps its axis and reverses its sense.
inline Quat MapRotation(Quat q) { return {-q.x, -q.z, -q.y, q.w}; }

}  // namespace sceneimport
