// Where each element of a flexible-vertex-format vertex lies: position (XYZ or
// XYZRHW), normal, point size, diffuse and specular colours, and up to 8 texture
// coordinate sets of 1 to 4 floats, in Direct3D 9's order. Blend weights and
// XYZW positions are not supported.
#pragma once

#include <array>

#include "platform/d3d9/d3d9types.h"

struct VertexLayout {
  bool rhw = false;  // XYZRHW: pretransformed screen coordinates
  int normal = -1;   // byte offsets; -1 when absent
  int pointSize = -1;
  int diffuse = -1;
  int specular = -1;
  UINT texSetCount = 0;
  std::array<int, 8> texOffset{};
  std::array<UINT, 8> texSize{};  // floats per set
  UINT size = 0;                  // bytes per vertex
};

// False when the code holds bits the layer does not support.
bool DecodeFvf(DWORD fvf, VertexLayout* layout);

// Vertices (or indices) a draw of `primitives` primitives of `type` reads; 0 for a type
// the layer does not draw.
UINT PrimitiveElementCount(D3DPRIMITIVETYPE type, UINT primitives);

// What every draw checks of its vertices before reading any: a format DecodeFvf takes
// (decoded into `layout`) and a stride that holds one vertex.
enum class DrawVertexCheck { kUsable, kUnknownFormat, kStrideTooSmall };
DrawVertexCheck CheckDrawVertices(DWORD fvf, UINT stride, VertexLayout* layout);
