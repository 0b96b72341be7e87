// The few matrix operations the device needs, in Direct3D's row-vector convention
// (a point p maps to p·M).
#pragma once

#include "platform/d3d9/d3d9types.h"

// a·b: applying a first, then b.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);

// Matrix G, row-major (G[r][c] = out[3*r+c]), with G·n (n a column vector) the
// camera-space normal of object-space n under m: the inverse of m's upper 3×3
// (the inverse transpose in row-vector terms). When that block is singular, m's block
// itself is used transposed, so that normals still follow the rotation part.
void NormalMatrix(const D3DMATRIX& m, float out[9]);

// p·m for a point (w = 1) and for a direction (w = 0).
D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m);
D3DVECTOR TransformDirection(const D3DVECTOR& d, const D3DMATRIX& m);
