// One scene frame at 1024x768, headless: 2,000 nodes, 200 meshes of 1,000 triangles
// (200,000 in all, two submeshes each), 4 lights, 20 textured materials (5 of them
// transparent), drawn through both pipelines of the scene graph.
//   SceneFrame:          SetTime + Render + Present, the frame read back through the
//                        layer: frames per second.
//   SceneCodeOnly:       the same SetTime + Render with every device state and draw call
//                        swallowed by the forwarding device: the scene code's own CPU time
//                        (traversal, sorting, state setting), the device's work excluded.
//   TraversalAndSort:    camera refresh, list clearing, culling and collection of the
//                        2,000 nodes and the sort of the collected submeshes.
//   DefaultStateSetting: the default pipeline's Draw alone over collected lists, device
//                        calls swallowed.
// Goals: scene code under 10 % of the frame; traversal and sort under 1 ms. The shares
// are printed after the runs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FrameReadback.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/PngWriter.h"
#include "scene/Camera.h"
#include "scene/DefaultProcessor.h"
#include "scene/Group.h"
#include "scene/IndexBuffer.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/Processor.h"
#include "scene/SceneGraph.h"
#include "scene/SubMesh.h"
#include "scene/Texture.h"
#include "scene/VertexBuffer.h"
#include "tests/support/ForwardingDevice.h"
#include "tests/support/HeadlessDevice.h"

namespace {

constexpr UINT kWidth = 1024, kHeight = 768;
constexpr int kNodes = 2000, kMeshes = 200, kLights = 4, kMaterials = 20, kTransparent = 5;
constexpr int kColumns = 25, kRows = 20;  // 2 * 25 * 20 = 1,000 triangles a mesh

class Bench {
 public:
  Bench() {
    std::string name = "scene_frame-";
    name += std::to_string(getpid());
    folder_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder_);
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    real_ = CreateHeadlessDevice(d3d_, kWidth, kHeight, D3DFMT_D24S8);
    if (!real_) return;
    readback_ = std::make_unique<FrameReadback>(real_);
    device_ = std::make_unique<ForwardingDevice>(real_);
    graph_ = std::make_unique<SceneGraph>(device_.get());
    Build();
    graph_->Prepare();
  }
  ~Bench() {
    readback_.reset();
    graph_.reset();
    device_.reset();
    if (real_) real_->Release();
    if (d3d_) d3d_->Release();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  bool ok() const { return graph_ != nullptr && readback_->ok(); }
  SceneGraph& graph() { return *graph_; }
  ForwardingDevice& device() { return *device_; }
  IDirect3DDevice9* real() { return real_; }
  FrameReadback& readback() { return *readback_; }

 private:
  template <class T = Group>
  T* Node(Group* parent, float x, float y, float z) {
    T* node = graph_->Create<T>(graph_->NextId());
    node->transform.position = D3DXVECTOR3(x, y, z);
    if (parent) node->parent.Set(parent->id);
    return node;
  }

  void Build() {
    int nodes = 0;
    Group* root = Node(nullptr, 0, 0, 0);
    graph_->root = root;
    graph_->ambient = {0.3f, 0.3f, 0.3f, 1};
    ++nodes;
    // Looking down -y over the 120 x 90 field of meshes.
    Camera* camera = Node<Camera>(root, 0, 60, 0);
    camera->fov = 1.5707964f;
    ++nodes;
    for (int i = 0; i < kLights; ++i, ++nodes) {
      Light* light = Node<Light>(root, -40.0f + 25 * i, 20, 10);
      light->deviceLight.Type = i == 0 ? D3DLIGHT_DIRECTIONAL : D3DLIGHT_POINT;
      light->deviceLight.Range = 200;
      light->deviceLight.Attenuation0 = 1;
      light->deviceLight.Attenuation1 = 0.01f;
      light->color = {1, 0.9f, 0.8f, 1};
      light->intensity = 0.5f;
    }

    std::vector<Material*> materials;
    for (int i = 0; i < kMaterials; ++i) {
      std::vector<std::uint8_t> rgb;
      for (int t = 0; t < 64 * 64; ++t)
        for (int c = 0; c < 3; ++c) rgb.push_back(std::uint8_t((t * (c + 1) + i * 40) & 0xFF));
      std::string file = (folder_ / "t").string();
      file += std::to_string(i);
      file += ".png";
      d3dx::WriteRgbPng(file.c_str(), 64, 64, rgb);
      Texture* texture = graph_->Create<Texture>(graph_->NextId());
      texture->load(file);
      Material* material = graph_->Create<Material>(graph_->NextId());
      material->diffuseColor = {0.8f, 0.8f, 0.8f, 1};
      material->ambientColor = {0.5f, 0.5f, 0.5f, 1};
      material->specularColor = {1, 1, 1, 1};
      material->specularLevel = 0.3f;
      material->power = 0.5f;
      material->opacity = i < kMaterials - kTransparent ? 1.0f : 0.6f;
      material->diffuseMap.Set(texture->id);
      materials.push_back(material);
    }

    // Ten clusters of twenty meshes; every mesh node carries dummy children (bones,
    // helpers) up to the node count.
    std::vector<Group*> meshNodes;
    for (int cluster = 0; cluster < 10; ++cluster, ++nodes) {
      Group* group = Node(root, -54.0f + 12 * cluster, 0, 0);
      for (int m = 0; m < kMeshes / 10; ++m, ++nodes) {
        Group* node = Node(group, 0, 0, -42.0f + 4.4f * m);
        AttachGrid(node, materials[(cluster * 7 + m) % kMaterials],
                   materials[(cluster * 3 + m * 11 + 5) % kMaterials]);
        meshNodes.push_back(node);
      }
    }
    for (int i = 0; nodes < kNodes; ++i, ++nodes)
      Node(meshNodes[i % meshNodes.size()], 0.1f * (i % 7), 0.5f, 0.1f * (i % 5));
  }

  // A 4 x 4 unit grid of 25 x 20 cells facing the camera, two submeshes of 500 triangles.
  void AttachGrid(Group* node, Material* first, Material* second) {
    auto* vertices = graph_->Create<VertexBuffer>(graph_->NextId(),
                                                  std::uint32_t((kColumns + 1) * (kRows + 1)));
    for (int row = 0; row <= kRows; ++row)
      for (int column = 0; column <= kColumns; ++column) {
        SceneVertex& v = vertices->vertices[row * (kColumns + 1) + column];
        const float u = float(column) / kColumns, w = float(row) / kRows;
        v.position[0] = -2 + 4 * u;
        v.position[1] = 0.3f * u * (1 - u);
        v.position[2] = 2 - 4 * w;
        v.uv0[0] = v.uv1[0] = u;
        v.uv0[1] = v.uv1[1] = w;
      }
    auto* indices = graph_->Create<IndexBuffer>(graph_->NextId());
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column) {
        const auto at = [](int r, int c) { return std::uint16_t(r * (kColumns + 1) + c); };
        // Clockwise seen from above (+y): bottom-left, top-left, bottom-right.
        for (std::uint16_t i : {at(row + 1, column), at(row, column), at(row + 1, column + 1),
                                at(row + 1, column + 1), at(row, column), at(row, column + 1)})
          indices->indices.push_back(i);
      }
    indices->triangleCount = std::uint32_t(indices->indices.size() / 3);
    Mesh* mesh = graph_->Create<Mesh>(graph_->NextId());
    mesh->vertexBuffer.Set(vertices->id);
    mesh->indexBuffer.Set(indices->id);
    mesh->group = node;
    node->mesh = mesh;
    const std::uint32_t half = indices->triangleCount * 3 / 2;
    for (int s = 0; s < 2; ++s) {
      SubMesh* sub = graph_->Create<SubMesh>(graph_->NextId());
      sub->material.Set((s == 0 ? first : second)->id);
      sub->mesh = mesh;
      sub->startIndex = s * half;
      sub->indexCount = half;
      mesh->subMeshes.push_back(sub);
    }
  }

  std::filesystem::path folder_;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* real_ = nullptr;
  std::unique_ptr<ForwardingDevice> device_;
  std::unique_ptr<SceneGraph> graph_;
  std::unique_ptr<FrameReadback> readback_;
};

std::unique_ptr<Bench> theBench;

Bench& TheBench() {
  if (!theBench) theBench = std::make_unique<Bench>();
  return *theBench;
}

// Per-frame seconds of each benchmark over its whole run, for the shares printed at the end.
double frameSeconds = 0, codeSeconds = 0, traversalSeconds = 0;

using Clock = std::chrono::steady_clock;

void SceneFrame(benchmark::State& state) {
  Bench& bench = TheBench();
  if (!bench.ok()) return state.SkipWithError("no device");
  bench.device().swallow = false;
  IDirect3DDevice9* device = bench.real();
  float time = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 127);
    device->BeginScene();
    bench.graph().SetTime(time += 16.0f);
    bench.graph().Render();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    bench.readback().Wait();
  }
  frameSeconds = std::chrono::duration<double>(Clock::now() - start).count() /
                 double(state.iterations());
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void SceneCodeOnly(benchmark::State& state) {
  Bench& bench = TheBench();
  if (!bench.ok()) return state.SkipWithError("no device");
  bench.device().swallow = true;
  bench.device().commands = 0;
  float time = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    bench.graph().SetTime(time += 16.0f);
    bench.graph().Render();
  }
  codeSeconds = std::chrono::duration<double>(Clock::now() - start).count() /
                double(state.iterations());
  state.counters["device calls"] = double(bench.device().commands) / double(state.iterations());
  bench.device().swallow = false;
}

void TraversalAndSort(benchmark::State& state) {
  Bench& bench = TheBench();
  if (!bench.ok()) return state.SkipWithError("no device");
  bench.device().swallow = true;
  SceneGraph& graph = bench.graph();
  DefaultProcessor* processor = graph.defaultProcessor;
  const auto start = Clock::now();
  for (auto _ : state) {
    graph.activeCamera->Activate();
    processor->ClearLists();
    graph.root->Collect(processor);
    processor->SortSubMeshes();
    benchmark::DoNotOptimize(processor->subMeshList.data());
  }
  traversalSeconds = std::chrono::duration<double>(Clock::now() - start).count() /
                     double(state.iterations());
  state.counters["submeshes"] = double(processor->subMeshList.size());
  bench.device().swallow = false;
}

void DefaultStateSetting(benchmark::State& state) {
  Bench& bench = TheBench();
  if (!bench.ok()) return state.SkipWithError("no device");
  bench.device().swallow = true;
  SceneGraph& graph = bench.graph();
  DefaultProcessor* processor = graph.defaultProcessor;
  graph.activeCamera->Activate();
  processor->ClearLists();
  graph.root->Collect(processor);
  for (auto _ : state) processor->Draw();
  bench.device().swallow = false;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("SceneFrame", SceneFrame)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->MinTime(3.0);
  benchmark::RegisterBenchmark("SceneCodeOnly", SceneCodeOnly)
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("TraversalAndSort", TraversalAndSort)
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("DefaultStateSetting", DefaultStateSetting)
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  bool plausible = true;
  if (frameSeconds > 0 && codeSeconds > 0) {
    std::printf("frame %.3f ms (%.1f fps); scene code %.3f ms = %.2f %% of the frame (goal < 10 %%); "
                "traversal + sort %.3f ms (goal < 1 ms)\n",
                frameSeconds * 1e3, 1.0 / frameSeconds, codeSeconds * 1e3,
                100.0 * codeSeconds / frameSeconds, traversalSeconds * 1e3);
    // The frame runs the scene code and renders too.
    plausible = Plausible(frameSeconds > codeSeconds, "the frame is faster than its scene code");
  }
  benchmark::Shutdown();
  theBench.reset();
  return plausible ? 0 : 1;
}
