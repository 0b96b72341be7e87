#include "scene/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "scene/SceneGraph.h"
#include "scene/StateCache.h"

namespace {

D3DXPLANE NormalizedPlane(float a, float b, float c, float d) {
  const D3DXPLANE plane(a, b, c, d);
  D3DXPLANE normalized;
  D3DXPlaneNormalize(&normalized, &plane);
  return normalized;
}

}  // namespace

Camera::Camera(std::int32_t id, SceneGraph* graph) : Group(id, graph) {
  D3DXMatrixIdentity(&view);
  D3DXMatrixIdentity(&projection);
}

Camera::~Camera() {
  auto& cameras = graph->cameras;
  auto found = std::find(cameras.begin(), cameras.end(), this);
  if (found != cameras.end()) cameras.erase(found);
  // No dangling active camera while the rest of the graph is torn down.
  if (graph->activeCamera == this) graph->activeCamera = nullptr;
}

void Camera::RefreshDeviceState() {
  if (!active) return;

  // The node's rotation is applied after a fixed quarter turn about x.
  const float halfAngle = 0.7853975f;
  const D3DXQUATERNION fix(std::sin(halfAngle), 0, 0, std::cos(halfAngle));
  Transform eye = transform;
  D3DXQuaternionMultiply(&eye.rotation, &fix, &transform.rotation);
  D3DXMATRIX placement = eye.Compose();
  if (Group* parentNode = parent.Resolve())
    D3DXMatrixMultiply(&placement, &placement, &parentNode->worldMatrix);
  // A singular placement (a zero scale) keeps the previous view.
  D3DXMatrixInverse(&view, nullptr, &placement);

  aspect = cache->aspect;
  D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, nearClip, farClip);
  if (cache->shadowsEnabled) {
    // Far plane at infinity.
    projection._33 = 1.0f;
    projection._43 = -1.0f;
  }

  cache->SetRenderState(D3DRS_ZENABLE, 1);
  cache->device->SetTransform(D3DTS_VIEW, &view);
  cache->device->SetTransform(D3DTS_PROJECTION, &projection);

  D3DXMATRIX m;
  D3DXMatrixMultiply(&m, &view, &projection);
  D3DXPLANE* planes = frustum.planes;
  planes[Frustum::Left] =
      NormalizedPlane(m._14 + m._11, m._24 + m._21, m._34 + m._31, m._44 + m._41);
  planes[Frustum::Right] =
      NormalizedPlane(m._14 - m._11, m._24 - m._21, m._34 - m._31, m._44 - m._41);
  planes[Frustum::Top] =
      NormalizedPlane(m._14 - m._12, m._24 - m._22, m._34 - m._32, m._44 - m._42);
  planes[Frustum::Bottom] =
      NormalizedPlane(m._14 + m._12, m._24 + m._22, m._34 + m._32, m._44 + m._42);
  planes[Frustum::Near] = NormalizedPlane(m._13, m._23, m._33, m._43);
  planes[Frustum::Far] =
      NormalizedPlane(m._14 - m._13, m._24 - m._23, m._34 - m._33, m._44 - m._43);
}

float* Camera::GetControlField(const char* name) {
  if (name) {
    if (std::strcmp(name, "FOVTRACK") == 0) return &fov;
    if (std::strcmp(name, "NearClip") == 0) return &nearClip;
    if (std::strcmp(name, "FarClip") == 0) return &farClip;
  }
  return Group::GetControlField(name);
}

void Camera::Link() {
  Group::Link();
  graph->cameras.push_back(this);
  if (!graph->activeCamera) graph->SetActiveCamera(this);
}

void Camera::Activate() {
  active = true;
  Update(false);
}

void Camera::Deactivate() { active = false; }

bool Camera::SphereVisible(const D3DXVECTOR3& centre, float radius) const {
  for (const D3DXPLANE& plane : frustum.planes) {
    const float distance = plane.a * centre.x + plane.b * centre.y + plane.c * centre.z + plane.d;
    if (distance < -radius) return false;
    // Straddling one plane counts as visible; the rest are not tested.
    if (std::fabs(distance) < radius) return true;
  }
  return true;
}
