#include "sceneimport/PlayerView.h"

#include <cmath>

D3DXMATRIX LocalMatrix(const ReadNode& node) {
  D3DXMATRIX scaling, rotating, m;
  D3DXQUATERNION q(node.rotation[0], node.rotation[1], node.rotation[2], node.rotation[3]);
  D3DXMatrixScaling(&scaling, node.scale[0], node.scale[1], node.scale[2]);
  D3DXMatrixRotationQuaternion(&rotating, &q);
  D3DXMatrixMultiply(&m, &scaling, &rotating);
  m._41 = node.position[0], m._42 = node.position[1], m._43 = node.position[2], m._44 = 1;
  return m;
}

D3DXMATRIX WorldMatrix(const SceneFile& file, const ReadNode& node) {
  D3DXMATRIX m = LocalMatrix(node);
  if (node.parent >= 0)
    if (const ReadNode* parent = file.NodeByIndex(static_cast<std::uint32_t>(node.parent))) {
      D3DXMATRIX p = WorldMatrix(file, *parent), out;
      D3DXMatrixMultiply(&out, &m, &p);
      return out;
    }
  return m;
}

D3DXMATRIX CameraView(const SceneFile& file, const ReadNode& camera) {
  ReadNode turned = camera;
  const float half = 0.7853975f;
  D3DXQUATERNION fix(std::sin(half), 0, 0, std::cos(half)), q(camera.rotation[0], camera.rotation[1],
                                                                   camera.rotation[2], camera.rotation[3]),
      r;
  D3DXQuaternionMultiply(&r, &fix, &q);
  turned.rotation = {r.x, r.y, r.z, r.w};
  D3DXMATRIX m = LocalMatrix(turned);
  if (camera.parent >= 0)
    if (const ReadNode* parent = file.NodeByIndex(static_cast<std::uint32_t>(camera.parent))) {
      D3DXMATRIX p = WorldMatrix(file, *parent), out;
      D3DXMatrixMultiply(&out, &m, &p);
      m = out;
    }
  D3DXMATRIX view;
  D3DXMatrixInverse(&view, nullptr, &m);
  return view;
}

D3DXMATRIX CameraProjection(const ReadNode& camera) {
  D3DXMATRIX p;
  D3DXMatrixPerspectiveFovLH(&p, camera.fov, 1.33333f, camera.nearClip, camera.farClip);
  return p;
}

D3DXVECTOR3 LightDirection(const SceneFile& file, const ReadNode& light) {
  D3DXMATRIX w = WorldMatrix(file, light);
  return D3DXVECTOR3(-w._12, -w._22, -w._32);
}

ScreenPoint Project(const SceneFile& file, const ReadNode& camera, const ReadNode& node,
                    const std::array<float, 3>& local) {
  D3DXMATRIX world = WorldMatrix(file, node), view = CameraView(file, camera), proj = CameraProjection(camera), wv, wvp;
  D3DXMatrixMultiply(&wv, &world, &view);
  D3DXMatrixMultiply(&wvp, &wv, &proj);
  D3DXVECTOR3 p(local[0], local[1], local[2]), out;
  D3DXVec3TransformCoord(&out, &p, &wvp);
  return {(out.x + 1) * 0.5f * 1024, (1 - out.y) * 0.5f * 768, out.z};
}
