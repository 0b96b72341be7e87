#include "platform/d3d9/MatrixMath.h"

#include <cmath>

void NormalMatrix(const D3DMATRIX& m, float out[9]) {
  const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
  const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
  const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
  const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  if (std::fabs(det) < 1e-30f || !std::isfinite(det)) {
    // n' = n·A: as a column vector, A transposed.
    const float t[9] = {a, d, g, b, e, h, c, f, i};
    for (int k = 0; k < 9; ++k) out[k] = t[k];
    return;
  }
  // n'_row = n_row · (A⁻¹)ᵀ, i.e. n'_column = A⁻¹ · n_column.
  const float s = 1.0f / det;
  out[0] = (e * i - f * h) * s;
  out[1] = (c * h - b * i) * s;
  out[2] = (b * f - c * e) * s;
  out[3] = (f * g - d * i) * s;
  out[4] = (a * i - c * g) * s;
  out[5] = (c * d - a * f) * s;
  out[6] = (d * h - e * g) * s;
  out[7] = (b * g - a * h) * s;
  out[8] = (a * e - b * d) * s;
}

D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m) {
  return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41,
          p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
          p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

D3DVECTOR TransformDirection(const D3DVECTOR& d, const D3DMATRIX& m) {
  return {d.x * m._11 + d.y * m._21 + d.z * m._31, d.x * m._12 + d.y * m._22 + d.z * m._32,
          d.x * m._13 + d.y * m._23 + d.z * m._33};
}
