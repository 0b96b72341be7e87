// Small scenes built in code for the glow and sprite tests: a headless device with
// the shared glow targets, a camera, self-illuminated quads facing it and sprites.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "platform/d3d9/DeviceState.h"  // FloatBits
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx9math.h"
#include "scene/Camera.h"
#include "scene/GlowTargets.h"
#include "scene/Group.h"
#include "scene/IndexBuffer.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/SceneGraph.h"
#include "scene/Sprite.h"
#include "scene/SubMesh.h"
#include "scene/Texture.h"
#include "scene/VertexBuffer.h"
#include "support/DeviceReferences.h"
#include "support/HeadlessDevice.h"

// A device of the given back-buffer size (D24S8 depth) and, unless told not to,
// the glow targets; both go with the object.
class GlowDevice {
 public:
  GlowDevice(UINT width, UINT height, IDirect3DDevice9* wrap(IDirect3DDevice9*) = nullptr,
             bool targets = true)
      : width(width), height(height) {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d) real = CreateHeadlessDevice(d3d, width, height, D3DFMT_D24S8);
    device = real && wrap ? wrap(real) : real;
    if (device && targets) CreateGlowTargets(device);
  }
  ~GlowDevice() {
    ReleaseGlowTargets();
    EXPECT_TRUE(ReleaseToZero(real, "Device"));
    EXPECT_TRUE(ReleaseToZero(d3d, "Direct3D object"));
  }
  GlowDevice(const GlowDevice&) = delete;
  GlowDevice& operator=(const GlowDevice&) = delete;

  bool ok() const { return device != nullptr; }

  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* real = nullptr;
  IDirect3DDevice9* device = nullptr;  // `real`, or the test's wrapper around it
  UINT width, height;
};

// The camera's axes in world space, read from the view it sets.
struct CameraAxes {
  D3DXVECTOR3 right, up, forward;
};

inline CameraAxes AxesOfDefaultCamera(IDirect3DDevice9* device) {
  SceneGraph probe(device);
  probe.root = probe.Create<Group>(probe.NextId());
  Camera* camera = probe.Create<Camera>(probe.NextId());
  camera->parent.Set(probe.root->id);
  probe.Prepare();
  const D3DXMATRIX& v = camera->view;
  return {{v._11, v._21, v._31}, {v._12, v._22, v._32}, {v._13, v._23, v._33}};
}

// A scene seen from a camera at the origin with a 90-degree view.
class GlowScene {
 public:
  explicit GlowScene(IDirect3DDevice9* device) : graph(device), axes(AxesOfDefaultCamera(device)) {
    graph.root = graph.Create<Group>(graph.NextId());
    camera = graph.Create<Camera>(graph.NextId());
    camera->parent.Set(graph.root->id);
    camera->fov = 1.5707964f;
    camera->nearClip = 1;
    camera->farClip = 1000;
  }

  // A world point `distance` ahead of the camera, `x` right and `y` up of the view axis.
  D3DXVECTOR3 Ahead(float distance, float x = 0, float y = 0) const {
    return axes.forward * distance + axes.right * x + axes.up * y;
  }

  Group* AddNode(const D3DXVECTOR3& position) {
    Group* node = graph.Create<Group>(graph.NextId());
    node->parent.Set(graph.root->id);
    node->transform.position = position;
    return node;
  }

  // A quad facing the camera, centred `distance` ahead, of half extents hx and hy
  // (view units), with the given self-illumination and a dark grey diffuse colour.
  Material* AddQuad(float distance, float hx, float hy, float selfIllum, float x = 0,
                    float y = 0) {
    Group* node = AddNode(Ahead(distance, x, y));
    auto* vertices = graph.Create<VertexBuffer>(graph.NextId(), 4u);
    const float corners[4][2] = {{-hx, hy}, {hx, hy}, {hx, -hy}, {-hx, -hy}};
    for (int i = 0; i < 4; ++i) {
      const D3DXVECTOR3 p = axes.right * corners[i][0] + axes.up * corners[i][1];
      vertices->vertices[i] = {{p.x, p.y, p.z}, {0, 0, 0}, {0, 0}, {0, 0}};
    }
    auto* indices = graph.Create<IndexBuffer>(graph.NextId());
    indices->indices = {0, 1, 2, 0, 2, 3};  // clockwise as seen from the camera
    indices->triangleCount = 2;
    auto* material = graph.Create<Material>(graph.NextId());
    material->diffuseColor = {0.2f, 0.2f, 0.2f, 1};
    material->ambientColor = {0.2f, 0.2f, 0.2f, 1};
    material->selfIllum = selfIllum;
    auto* mesh = graph.Create<Mesh>(graph.NextId());
    mesh->vertexBuffer.Set(vertices->id);
    mesh->indexBuffer.Set(indices->id);
    mesh->group = node;
    node->mesh = mesh;
    auto* sub = graph.Create<SubMesh>(graph.NextId());
    sub->material.Set(material->id);
    sub->mesh = mesh;
    sub->indexCount = 6;
    mesh->subMeshes.push_back(sub);
    return material;
  }

  // A texture object around a device texture the test owns.
  Texture* AddTexture(IDirect3DTexture9* picture, std::int32_t id) {
    Texture* texture = graph.Create<Texture>(id);
    texture->texture = picture;
    return texture;
  }

  Sprite* AddSprite(const D3DXVECTOR3& position, std::int32_t textureId, float size,
                    bool skipInGlow = false) {
    Group* node = AddNode(position);
    Sprite* sprite = graph.Create<Sprite>(graph.NextId());
    sprite->node = node;
    node->sprite = sprite;
    sprite->texture.Set(textureId);
    sprite->size = size;
    sprite->skipInGlowPass = skipInGlow;
    return sprite;
  }

  void Prepare() { graph.Prepare(); }

  // One frame cleared to `clear`, drawn by every pipeline (or the default one only).
  void Frame(DWORD clear, bool withGlow = true) {
    IDirect3DDevice9* device = graph.cache->device;
    auto all = graph.processors;
    if (!withGlow) graph.processors.resize(1);
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    graph.Render();
    device->EndScene();
    graph.processors = all;
  }

  SceneGraph graph;
  CameraAxes axes;
  Camera* camera = nullptr;
};

// A one-level managed texture of one colour.
inline IDirect3DTexture9* SolidTexture(IDirect3DDevice9* device, UINT size, DWORD argb) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device->CreateTexture(size, size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                   nullptr)))
    return nullptr;
  D3DLOCKED_RECT locked{};
  texture->LockRect(0, &locked, nullptr, 0);
  for (UINT y = 0; y < size; ++y)
    for (UINT x = 0; x < size; ++x)
      static_cast<DWORD*>(locked.pBits)[y * (locked.Pitch / 4) + x] = argb;
  texture->UnlockRect(0);
  return texture;
}
