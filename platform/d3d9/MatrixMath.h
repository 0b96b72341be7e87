// The few matrix operations the device needs, in Direct3D's row-vector convention
// (a point p maps to p·M).
#pragma once

#include "platform/d3d9/d3d9types.h"

// The product of two 4×4 matrices of any type whose `m[row][column]` holds the entries:
// r[i][j] = Σk a[i][k]·b[k][j], summed from k = 0 up. In row-vector terms a applies
// first; in column-vector terms b does.
template <class Matrix>
Matrix MultiplyMatrices(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = a.m[i][0] * b.m[0][j];
      for (int k = 1; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

// a·b: applying a first, then b.
inline D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) { return MultiplyMatrices(a, b); }

// Matrix G, row-major (G[r][c] = out[3*r+c]), with G·n (n a column vector) the
// camera-space normal of object-space n under m: the inverse of m's upper 3×3
// (the inverse transpose in row-vector terms). When that block is singular, m's block
// itself is used transposed, so that normals still follow the rotation part.
void NormalMatrix(const D3DMATRIX& m, float out[9]);

// p·m for a point (w = 1) and for a direction (w = 0).
D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m);
D3DVECTOR TransformDirection(const D3DVECTOR& d, const D3DMATRIX& m);
