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
