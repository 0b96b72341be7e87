// Scenes built in code for the render tests: a headless device, a scene graph on
// it, quads as meshes, colour and texture materials, picture files in a temp
// folder, the default pipeline run the way the scene graph runs it, and pixel
// read-back. The default camera sits at (0, 10, 0) with the identity rotation and
// so looks down -y (world x to the right, world z up on screen); with the fixed
// aspect 4:3 on a 64x48 target and a 90-degree field of view, a point (x, 0, z)
// lands on column 32 + 32 * x / 13.333 and row 24 - 24 * z / 10.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/PngWriter.h"
#include "scene/Camera.h"
#include "scene/DefaultProcessor.h"
#include "scene/Group.h"
#include "scene/IndexBuffer.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/SceneGraph.h"
#include "scene/StateCache.h"
#include "scene/SubMesh.h"
#include "scene/Texture.h"
#include "scene/VertexBuffer.h"
#include "support/DeviceReferences.h"
#include "support/HeadlessDevice.h"
#include "support/TempDir.h"

struct Rgb {
  int r, g, b;
};

class HeadlessScene {
 public:
  explicit HeadlessScene(UINT width = 64, UINT height = 48) : width(width), height(height) {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    device = CreateHeadlessDevice(d3d, width, height, D3DFMT_D24S8);
    if (device) graph = std::make_unique<SceneGraph>(device);
  }
  ~HeadlessScene() {
    graph.reset();
    EXPECT_TRUE(ReleaseToZero(device, "Device"));
    EXPECT_TRUE(ReleaseToZero(d3d, "Direct3D object"));
  }
  HeadlessScene(const HeadlessScene&) = delete;
  HeadlessScene& operator=(const HeadlessScene&) = delete;

  bool ok() const { return graph != nullptr; }
  StateCache& cache() { return *graph->cache; }

  template <class T = Group>
  T* Node(Group* parent, float x, float y, float z) {
    T* node = graph->Create<T>(graph->NextId());
    node->transform.position = D3DXVECTOR3(x, y, z);
    if (parent) node->parent.Set(parent->id);
    return node;
  }
  Group* Root() {
    if (!graph->root) graph->root = Node(nullptr, 0, 0, 0);
    return graph->root;
  }
  Camera* AddCamera(float x = 0, float y = 10, float z = 0) {
    Camera* camera = Node<Camera>(Root(), x, y, z);
    camera->fov = 1.5707964f;
    return camera;
  }

  // Lit only by the scene ambient unless lights are added: ambient colour `ambient`.
  Material* ColorMaterial(D3DCOLORVALUE ambient, float opacity = 1.0f, int blendMode = 0) {
    Material* material = graph->Create<Material>(graph->NextId());
    material->ambientColor = ambient;
    material->diffuseColor = {0, 0, 0, 1};
    material->opacity = opacity;
    material->blendMode = static_cast<BlendMode>(blendMode);
    return material;
  }
  Texture* LoadTexture(const std::string& path) {
    Texture* texture = graph->Create<Texture>(graph->NextId());
    texture->load(path);
    return texture;
  }

  // A quad in the plane y = height spanning x0..x1 and z0..z1, facing +y (towards the
  // default camera), u from x0 to x1 and v from z1 (top) to z0, on a new node.
  Group* Quad(Group* parent, Material* material, float x0, float z0, float x1, float z1,
              float height = 0) {
    Group* node = Node(parent, 0, 0, 0);
    VertexBuffer* vertices = graph->Create<VertexBuffer>(graph->NextId(), 4u);
    const float corners[4][4] = {
        {x0, z0, 0, 1}, {x0, z1, 0, 0}, {x1, z0, 1, 1}, {x1, z1, 1, 0}};
    for (int i = 0; i < 4; ++i) {
      SceneVertex& v = vertices->vertices[i];
      v.position[0] = corners[i][0];
      v.position[1] = height;
      v.position[2] = corners[i][1];
      v.uv0[0] = v.uv1[0] = corners[i][2];
      v.uv0[1] = v.uv1[1] = corners[i][3];
    }
    IndexBuffer* indices = graph->Create<IndexBuffer>(graph->NextId());
    indices->indices = {0, 1, 2, 2, 1, 3};
    indices->triangleCount = 2;
    AttachMesh(node, vertices, indices, {material});
    return node;
  }
  Mesh* AttachMesh(Group* node, VertexBuffer* vertices, IndexBuffer* indices,
                   const std::vector<Material*>& materials) {
    Mesh* mesh = graph->Create<Mesh>(graph->NextId());
    mesh->vertexBuffer.Set(vertices->id);
    mesh->indexBuffer.Set(indices->id);
    mesh->group = node;
    node->mesh = mesh;
    const std::uint32_t each =
        materials.empty() ? 0 : indices->triangleCount * 3 / std::uint32_t(materials.size());
    for (std::size_t i = 0; i < materials.size(); ++i) {
      SubMesh* sub = graph->Create<SubMesh>(graph->NextId());
      sub->material.Set(materials[i] ? materials[i]->id : -1);
      sub->mesh = mesh;
      sub->startIndex = std::uint32_t(i) * each;
      sub->indexCount = each;
      mesh->subMeshes.push_back(sub);
    }
    return mesh;
  }

  // What SceneGraph::Prepare does, with the default pipeline alone.
  void Prepare() {
    for (std::size_t i = 0; i < graph->objects.size(); ++i) graph->objects[i]->Link();
    if (graph->root) graph->root->Update(true);
    if (graph->skybox) graph->skybox->Update(true);
    processor = graph->Create<DefaultProcessor>(graph->NextId());
    graph->defaultProcessor = processor;
  }
  // One frame of SceneGraph::Render through the default pipeline, on black.
  void Render() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    graph->cache->glowPass = 0;
    graph->activeCamera->Activate();
    processor->ClearLists();
    graph->root->Collect(processor);
    processor->Draw();
    device->EndScene();
  }

  std::vector<DWORD> Read() const {
    IDirect3DSurface9* target = nullptr;
    device->GetRenderTarget(0, &target);
    IDirect3DSurface9* copy = nullptr;
    std::vector<DWORD> pixels;
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(width, height, D3DFMT_X8R8G8B8,
                                                      D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(target, copy))) {
      D3DLOCKED_RECT locked{};
      copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
      pixels.resize(std::size_t{width} * height);
      for (UINT y = 0; y < height; ++y)
        std::memcpy(&pixels[std::size_t{y} * width],
                    static_cast<const BYTE*>(locked.pBits) + std::size_t{y} * locked.Pitch,
                    width * 4);
      copy->UnlockRect();
    }
    if (copy) copy->Release();
    if (target) target->Release();
    return pixels;
  }
  Rgb Pixel(UINT x, UINT y) const {
    const std::vector<DWORD> pixels = Read();
    if (pixels.empty()) return {-1, -1, -1};
    const DWORD p = pixels[std::size_t{y} * width + x];
    return {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
  }
  // The frame as a PNG in `folder` (kept when a test fails, for a look).
  void Save(const std::string& path) const {
    const std::vector<DWORD> pixels = Read();
    std::vector<std::uint8_t> rgb;
    for (DWORD p : pixels)
      for (int shift : {16, 8, 0}) rgb.push_back(std::uint8_t(p >> shift));
    d3dx::WriteRgbPng(path.c_str(), width, height, rgb);
  }

  UINT width, height;
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  std::unique_ptr<SceneGraph> graph;
  DefaultProcessor* processor = nullptr;
};

inline ::testing::AssertionResult RgbNear(Rgb actual, Rgb expected, int tolerance) {
  if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
      std::abs(actual.b - expected.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected ("
         << expected.r << ", " << expected.g << ", " << expected.b << ") within " << tolerance;
}

// An RGB picture file (X8R8G8B8 once loaded): `texels` rows top first, 0xRRGGBB.
inline std::string WriteRgbPicture(const TempDir& folder, const std::string& name, UINT width,
                                   UINT height, const std::vector<std::uint32_t>& texels) {
  std::vector<std::uint8_t> rgb;
  for (std::uint32_t t : texels)
    for (int shift : {16, 8, 0}) rgb.push_back(std::uint8_t(t >> shift));
  const std::string path = folder.file(name);
  d3dx::WriteRgbPng(path.c_str(), width, height, rgb);
  return path;
}

// A Targa file, top row first: 32-bit 0xAARRGGBB texels (A8R8G8B8 once loaded), or
// grey with 8 bits (L8) or grey+alpha with 16 bits (an unsupported scene format).
inline std::string WriteTarga(const TempDir& folder, const std::string& name, UINT width,
                              UINT height, int bitsPerPixel,
                              const std::vector<std::uint32_t>& texels) {
  const bool grey = bitsPerPixel != 32;
  std::string bytes(18, '\0');
  bytes[2] = grey ? 3 : 2;
  bytes[12] = char(width & 0xFF);
  bytes[13] = char(width >> 8);
  bytes[14] = char(height & 0xFF);
  bytes[15] = char(height >> 8);
  bytes[16] = char(bitsPerPixel);
  bytes[17] = char(0x20 | (bitsPerPixel == 8 ? 0 : 8));  // top-left origin, alpha bits
  for (std::uint32_t t : texels) {
    if (bitsPerPixel == 32) {
      for (int shift : {0, 8, 16, 24}) bytes.push_back(char(t >> shift));  // B, G, R, A
    } else {
      bytes.push_back(char(t & 0xFF));
      if (bitsPerPixel == 16) bytes.push_back(char(t >> 24));
    }
  }
  return folder.write(name, bytes);
}

// Device state read back through the device's own getters.
inline DWORD RenderState(IDirect3DDevice9* device, D3DRENDERSTATETYPE state) {
  DWORD value = 0xDEADBEEF;
  device->GetRenderState(state, &value);
  return value;
}
inline DWORD StageState(IDirect3DDevice9* device, DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
  DWORD value = 0xDEADBEEF;
  device->GetTextureStageState(stage, type, &value);
  return value;
}
inline DWORD SamplerState(IDirect3DDevice9* device, DWORD stage, D3DSAMPLERSTATETYPE type) {
  DWORD value = 0xDEADBEEF;
  device->GetSamplerState(stage, type, &value);
  return value;
}
// The texture on a stage (the reference GetTexture adds is dropped again).
inline IDirect3DBaseTexture9* StageTexture(IDirect3DDevice9* device, DWORD stage) {
  IDirect3DBaseTexture9* texture = nullptr;
  device->GetTexture(stage, &texture);
  if (texture) texture->Release();
  return texture;
}
