// SetTime on an animated scene, headless. One scene holds 10,000 controllers of
// every kind (keyframe and sampled float fields of nodes and materials, moving
// nodes, camera activators); a second holds one vertex controller morphing a
// 50,000-vertex, ~99,000-triangle buffer between two frames. Goals: under 2 ms per
// frame for the 10,000; the vertex controller's frame (blend, normals, upload)
// within twice the time of recomputing the normals alone, measured beside it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "platform/d3d9/d3d9.h"
#include "platform/os/oshost.h"
#include "scene/Camera.h"
#include "scene/Group.h"
#include "scene/IndexBuffer.h"
#include "scene/Material.h"
#include "scene/SceneGraph.h"
#include "scene/VertexBuffer.h"
#include "scene/loading/CameraActivatorController.h"
#include "scene/loading/KeyframeFloatController.h"
#include "scene/loading/PRSController.h"
#include "scene/loading/SampleFloatController.h"
#include "scene/loading/VertexController.h"
#include "tests/support/HeadlessDevice.h"

namespace {

constexpr int kPerKind = 2500;  // four kinds: 10,000 controllers
constexpr int kCameras = 10;
constexpr int kGridColumns = 250, kGridRows = 200;  // 50,000 vertices
constexpr float kFrameMs = 1000.0f / 60;

struct Device {
  Device() {
    OsSetHeadless(true);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    device = CreateHeadlessDevice(d3d, 1024, 768, D3DFMT_D24X8);
  }
  ~Device() {
    if (device) device->Release();
    if (d3d) d3d->Release();
  }
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
};

Device& SharedDevice() {
  static Device device;
  return device;
}

std::unique_ptr<SceneGraph> ControllerScene() {
  auto graph = std::make_unique<SceneGraph>(SharedDevice().device);
  Group* root = graph->Create<Group>(graph->NextId());
  graph->root = root;
  Camera* cameras[kCameras];
  for (Camera*& camera : cameras) {
    camera = graph->Create<Camera>(graph->NextId());
    camera->parent.Set(root->id);
  }
  for (int i = 0; i < kPerKind; ++i) {
    Group* node = graph->Create<Group>(graph->NextId());
    node->parent.Set(root->id);
    Material* material = graph->Create<Material>(graph->NextId());

    auto fade = std::make_unique<KeyframeFloatController>(node, "VISTRACK", true);
    for (int k = 0; k < 8; ++k) fade->AddKey(250.0f * k + i % 7, (k % 2) ? 1.0f : 0.6f);
    graph->AddController(std::move(fade));

    auto opacity = std::make_unique<SampleFloatController>(material, "OPACITY");
    opacity->timing.looping = true;
    opacity->timing.loopLength = 3000;
    opacity->timing.keyEnd = 2000;
    for (int k = 0; k < 60; ++k) opacity->samples.push_back(0.5f + 0.5f * std::sin(0.1f * k));
    graph->AddController(std::move(opacity));

    auto move = std::make_unique<PRSController>(node);
    move->timing.looping = true;
    move->timing.loopLength = 4000;
    move->timing.keyEnd = 4000;
    for (int k = 0; k < 30; ++k) {
      Transform key;
      key.position = D3DXVECTOR3(static_cast<float>(k), static_cast<float>(i % 50), 0);
      D3DXQuaternionRotationYawPitchRoll(&key.rotation, 0.2f * k, 0.1f * k, 0);
      key.scale = D3DXVECTOR3(1 + 0.01f * k, 1, 1);
      move->keys.push_back(key);
    }
    graph->AddController(std::move(move));

    auto cut = std::make_unique<CameraActivatorController>(cameras[i % kCameras], true);
    for (int k = 0; k < 4; ++k) cut->AddSwitchTime(static_cast<std::uint32_t>(500 * k + i));
    cut->Finish();
    cut->timing.loopLength = 5000;
    graph->AddController(std::move(cut));
  }
  graph->Prepare();
  return graph;
}

void BM_SetTime10000Controllers(benchmark::State& state) {
  auto graph = ControllerScene();
  float t = 0;
  for (auto _ : state) {
    graph->SetTime(t);
    t += kFrameMs;
  }
  state.counters["controllers"] = static_cast<double>(graph->controllers.size());
}
BENCHMARK(BM_SetTime10000Controllers)->Unit(benchmark::kMillisecond);

struct MorphScene {
  MorphScene() : graph(std::make_unique<SceneGraph>(SharedDevice().device)) {
    const std::uint32_t count = kGridColumns * kGridRows;
    indices = graph->Create<IndexBuffer>(graph->NextId());
    for (int r = 0; r + 1 < kGridRows; ++r)
      for (int c = 0; c + 1 < kGridColumns; ++c) {
        const auto a = static_cast<std::uint16_t>(r * kGridColumns + c);
        const auto b = static_cast<std::uint16_t>(a + 1);
        const auto d = static_cast<std::uint16_t>(a + kGridColumns);
        const auto e = static_cast<std::uint16_t>(d + 1);
        indices->indices.insert(indices->indices.end(), {a, b, e, a, e, d});
      }
    indices->triangleCount = static_cast<std::uint32_t>(indices->indices.size() / 3);
    buffer = graph->Create<MultiVertexBuffer>(graph->NextId(), count);
    buffer->frames.resize(2);
    for (std::uint32_t v = 0; v < count; ++v) {
      const float x = static_cast<float>(v % kGridColumns), y = static_cast<float>(v / kGridColumns);
      buffer->frames[0].push_back({x, y, 0});
      buffer->frames[1].push_back({x, y, std::sin(0.1f * x) * std::cos(0.1f * y)});
      buffer->vertices[v].position[0] = x;
      buffer->vertices[v].position[1] = y;
    }
    buffer->BuildAdjacency(*indices);
    graph->cache->CreateVertexBuffer(*buffer);
    buffer->Upload();
    controller = std::make_unique<VertexController>(buffer);
    controller->timing.looping = true;
    controller->timing.loopLength = 2000;
    controller->timing.keyEnd = 1000;
  }
  std::unique_ptr<SceneGraph> graph;
  IndexBuffer* indices = nullptr;
  MultiVertexBuffer* buffer = nullptr;
  std::unique_ptr<VertexController> controller;
};

void BM_VertexControllerFrame50000(benchmark::State& state) {
  MorphScene scene;
  float t = 1;  // blends two frames on every evaluation but the exact ones
  for (auto _ : state) {
    scene.controller->Evaluate(t);
    t += kFrameMs;
  }
  state.counters["triangles"] = scene.indices->triangleCount;
}
BENCHMARK(BM_VertexControllerFrame50000)->Unit(benchmark::kMillisecond);

void BM_RecomputeNormals50000(benchmark::State& state) {
  MorphScene scene;
  for (auto _ : state) {
    scene.buffer->ComputeFaceNormals();
    scene.buffer->ComputeVertexNormals();
    benchmark::DoNotOptimize(scene.buffer->vertexNormals.data());
  }
}
BENCHMARK(BM_RecomputeNormals50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
