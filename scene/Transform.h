// Position, rotation (quaternion) and scale of a node, and the local matrix they
// compose to: scale, then rotation, then translation (row vectors, p * M).
#pragma once

#include "platform/d3dx/d3dx9math.h"

struct Transform {
  D3DXVECTOR3 position{0, 0, 0};
  D3DXQUATERNION rotation{0, 0, 0, 1};
  D3DXVECTOR3 scale{1, 1, 1};

  D3DXMATRIX Compose() const;
};
