#include "fuzz/PropertyTextFuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "fuzz/FuzzFatalSeam.h"
#include "platform/d3d9/d3d9.h"
#include "scene/Group.h"
#include "scene/SceneGraph.h"
#include "scene/loading/Configuration.h"
#include "tests/support/HeadlessDevice.h"

namespace {

struct Harness {
  Harness() {
    InstallFuzzFatalSeam();
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    device = CreateHeadlessDevice(direct3d, 16, 16);
    if (!device) {
      std::fprintf(stderr, "property text fuzz: no headless device\n");
      std::abort();
    }
  }
  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
};

// Keeps the reads from being optimised away.
volatile float sink;

}  // namespace

void ParsePropertyTextBytes(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Configuration properties;
  properties.Parse(text);
  float total = 0;
  for (const auto& [key, value] : properties.values) {
    total += static_cast<float>(properties.GetString(key)->size());
    total += static_cast<float>(properties.GetInt(key));
    total += properties.GetFloat(key);
  }
  total += static_cast<float>(properties.GetInt("animations")) + properties.GetFloat("animscale");
  sink = total;

  auto graph = std::make_unique<SceneGraph>(harness.device);
  try {
    Group* node = graph->Create<Group>(graph->NextId());
    node->properties.Parse(text);
    node->LoadAnimations(graph.get(), node->properties, 100.0f, 2.0f);
    for (float t : {-1e9f, 0.0f, 150.0f, 1e4f, 3e9f}) graph->SetTime(t);
  } catch (const FuzzFatal&) {
  }
  graph.reset();
  ForgetFuzzMessageBoxes();
}
