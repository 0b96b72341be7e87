#include "platform/d3d9/VertexLayout.h"

bool DecodeFvf(DWORD fvf, VertexLayout* layout) {
  constexpr DWORD kKnown = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE |
                           D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK | 0xFFFF0000u;
  if (fvf & ~kKnown) return false;
  VertexLayout l;
  DWORD position = fvf & D3DFVF_POSITION_MASK;
  UINT offset = 0;
  if (position == D3DFVF_XYZ) {
    offset = 12;
  } else if (position == D3DFVF_XYZRHW) {
    l.rhw = true;
    offset = 16;
  } else {
    return false;
  }
  if (fvf & D3DFVF_NORMAL) {
    if (l.rhw) return false;
    l.normal = static_cast<int>(offset);
    offset += 12;
  }
  if (fvf & D3DFVF_PSIZE) {
    l.pointSize = static_cast<int>(offset);
    offset += 4;
  }
  if (fvf & D3DFVF_DIFFUSE) {
    l.diffuse = static_cast<int>(offset);
    offset += 4;
  }
  if (fvf & D3DFVF_SPECULAR) {
    l.specular = static_cast<int>(offset);
    offset += 4;
  }
  l.texSetCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (l.texSetCount > 8) return false;
  for (UINT set = 0; set < 8; ++set) {
    DWORD code = (fvf >> (16 + 2 * set)) & 3u;
    if (set >= l.texSetCount) {
      if (code != 0) return false;
      continue;
    }
    static constexpr UINT kSizes[4] = {2, 3, 4, 1};  // TEXTUREFORMAT2, 3, 4, 1
    l.texOffset[set] = static_cast<int>(offset);
    l.texSize[set] = kSizes[code];
    offset += 4 * l.texSize[set];
  }
  l.size = offset;
  *layout = l;
  return true;
}

UINT PrimitiveElementCount(D3DPRIMITIVETYPE type, UINT primitives) {
  switch (type) {
    case D3DPT_POINTLIST:
      return primitives;
    case D3DPT_LINELIST:
      return 2 * primitives;
    case D3DPT_LINESTRIP:
      return primitives + 1;
    case D3DPT_TRIANGLELIST:
      return 3 * primitives;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return primitives + 2;
    default:
      return 0;
  }
}

DrawVertexCheck CheckDrawVertices(DWORD fvf, UINT stride, VertexLayout* layout) {
  if (!DecodeFvf(fvf, layout)) return DrawVertexCheck::kUnknownFormat;
  if (stride < layout->size) return DrawVertexCheck::kStrideTooSmall;
  return DrawVertexCheck::kUsable;
}
