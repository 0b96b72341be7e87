#include "fuzz/SceneFuzzInput.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/FuzzFatalSeam.h"
#include "platform/d3d9/d3d9.h"
#include "scene/SceneGraph.h"
#include "scene/loading/PSKSceneLoader.h"
#include "tests/support/HeadlessDevice.h"
#include "tools/scenewriter/SceneWriter.h"

namespace {

void Save(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A 2 x 2 24-bit BMP of one colour.
std::string Bmp(char r, char g, char b) {
  std::string bmp = "BM";
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>(v >> (8 * i)));
  };
  for (std::uint32_t v : {70u, 0u, 54u, 40u, 2u, 2u}) u32(v);
  bmp += {1, 0, 24, 0};
  for (std::uint32_t v : {0u, 16u, 2835u, 2835u, 0u, 0u}) u32(v);
  for (int row = 0; row < 2; ++row) bmp += {b, g, r, b, g, r, 0, 0};
  return bmp;
}

// A small sound scene for "filename = n.psk": a node with a mesh and a material.
std::string NestedScene() {
  scenefile::SceneWriter w;
  scenefile::GroupChunk g;
  g.node.name = "nested";
  g.node.properties = "animations = 1\na0.field = VISTRACK\na0.keyframes = 2\na0.kf0 = 0 1\na0.kf1 = 100 0\n";
  w.Add(g);
  scenefile::VertexBufferChunk v;
  v.index = 1;
  v.vertices.resize(3);
  v.vertices[1].position = {1, 0, 0};
  v.vertices[2].position = {0, 0, 1};
  w.Add(v);
  w.Add(scenefile::IndexBufferChunk{2, {0, 1, 2}});
  w.Add(scenefile::MaterialChunk{});
  scenefile::MeshChunk m;
  m.index = 4;
  m.vertexBuffer = 1;
  m.indexBuffer = 2;
  m.subMeshes.push_back({0, 3, 0, 3, 0});
  w.Add(m);
  return std::string(w.Bytes().begin(), w.Bytes().end());
}

struct Harness {
  Harness() {
    InstallFuzzFatalSeam();
    std::string pattern = (std::filesystem::temp_directory_path() / "scenefuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
      std::fprintf(stderr, "scene fuzz: no scratch folder\n");
      std::abort();
    }
    folder = pattern;
    Save("t.bmp", Bmp('\xFF', 0, 0));
    Save("u.bmp", Bmp(0, '\xFF', 0));
    Save("a.bmp", Bmp(0, 0, '\xFF'));
    // "a.bmp" has a description beside it: an animated texture.
    Save("a.seq", "images = 2\ni0 = t.bmp\ni1 = u.bmp\nanimations = 1\na0.field = Active Image\n"
                  "a0.keyframes = 2\na0.kf0 = 0 0\na0.kf1 = 1000 2\n");
    Save("n.psk", NestedScene());
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    device = CreateHeadlessDevice(direct3d, 64, 48, D3DFMT_D24X8);
    if (!device) {
      std::fprintf(stderr, "scene fuzz: no headless device\n");
      std::abort();
    }
  }
  ~Harness() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
};

}  // namespace

void LoadSceneBytes(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  Save("main.psk", std::string(reinterpret_cast<const char*>(data), size));
  auto graph = std::make_unique<SceneGraph>(harness.device);
  bool inScene = false;
  try {
    graph->Create<PSKSceneLoader>(graph->NextId())->LoadFile("main.psk");
    graph->Prepare();
    graph->SetTime(0);
    graph->SetTime(250);
    harness.device->BeginScene();
    inScene = true;
    graph->Render();
    harness.device->EndScene();
    inScene = false;
    graph->SetTime(1e6f);
  } catch (const FuzzFatal&) {
    if (inScene) harness.device->EndScene();
  }
  graph.reset();
  ForgetFuzzMessageBoxes();
}
