#include "scene/Transform.h"

D3DXMATRIX Transform::Compose() const {
  D3DXMATRIX scaling, rotating, matrix;
  D3DXMatrixScaling(&scaling, scale.x, scale.y, scale.z);
  D3DXMatrixRotationQuaternion(&rotating, &rotation);
  D3DXMatrixMultiply(&matrix, &scaling, &rotating);
  matrix._41 = position.x;
  matrix._42 = position.y;
  matrix._43 = position.z;
  matrix._44 = 1.0f;
  return matrix;
}
