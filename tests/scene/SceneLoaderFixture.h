// Scene files written with the scene writer and loaded into a scene graph on a
// windowless device; the built objects are found again by their file index.
// Fatal ends can be caught in-process (the message box is thrown instead of
// shown), so sweeps over many damaged files need no process per case.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/os/oshost.h"
#include "scene/Group.h"
#include "scene/SceneGraph.h"
#include "scene/loading/PSKSceneLoader.h"
#include "support/DeviceReferences.h"
#include "support/HeadlessDevice.h"
#include "support/TempDir.h"
#include "tools/scenewriter/SceneWriter.h"

using Bytes = std::vector<std::uint8_t>;

class SceneLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    device = CreateHeadlessDevice(direct3d, 64, 48, D3DFMT_D24X8);
    ASSERT_NE(device, nullptr);
    graph = std::make_unique<SceneGraph>(device);
  }
  void TearDown() override {
    graph.reset();
    EXPECT_TRUE(ReleaseToZero(device, "Device"));
    EXPECT_TRUE(ReleaseToZero(direct3d, "Direct3D object"));
  }

  // Loads `bytes` into the fixture's graph with a new top-level loader.
  PSKSceneLoader* Load(const Bytes& bytes, float offset = 0, float scale = 1.0f,
                       bool looping = true, std::int32_t parent = -1) {
    PSKSceneLoader* made = graph->Create<PSKSceneLoader>(graph->NextId());
    made->LoadMemory(bytes.data(), bytes.size(), parent, offset, scale, looping);
    loader = made;
    return made;
  }
  PSKSceneLoader* Load(const scenefile::SceneWriter& writer) { return Load(writer.Bytes()); }

  // The object built for a file index of the last (or the given) loader, as a T.
  template <class T>
  T* At(std::uint32_t index, PSKSceneLoader* from = nullptr) {
    PSKSceneLoader* source = from ? from : loader;
    auto mapped = source->indexMap.find(index);
    if (mapped == source->indexMap.end()) return nullptr;
    return dynamic_cast<T*>(graph->FindObject(mapped->second));
  }

  // Every registered T, in registration order.
  template <class T>
  std::vector<T*> All() {
    std::vector<T*> found;
    for (auto& object : graph->objects)
      if (auto* t = dynamic_cast<T*>(object.get())) found.push_back(t);
    return found;
  }

  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  std::unique_ptr<SceneGraph> graph;
  PSKSceneLoader* loader = nullptr;
};

// Runs `work` with every message box thrown instead of shown: the box that would
// have ended the process, or none when `work` finished.
template <class Work>
std::optional<OsMessageBoxRecord> CatchFatal(Work&& work) {
  OsSetMessageBoxHandler([](const OsMessageBoxRecord& box) -> int { throw box; });
  std::optional<OsMessageBoxRecord> caught;
  try {
    work();
  } catch (const OsMessageBoxRecord& box) {
    caught = box;
  }
  OsSetMessageBoxHandler(nullptr);
  OsClearShownMessageBoxes();
  return caught;
}

// A regular expression that matches `text` literally, for death-test messages.
inline std::string LiterallyText(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

inline scenefile::GroupChunk GroupAt(std::uint32_t index, std::int32_t parent,
                                     const std::string& name, const std::string& properties = "") {
  scenefile::GroupChunk chunk;
  chunk.index = index;
  chunk.node.parent = parent;
  chunk.node.name = name;
  chunk.node.properties = properties;
  return chunk;
}

inline bool SaveBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// A 24-bit uncompressed BMP of one colour (loads as X8R8G8B8).
inline Bytes SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const std::uint32_t rowBytes = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
  const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
  Bytes bmp;
  auto u16 = [&](std::uint32_t v) {
    bmp.push_back(static_cast<std::uint8_t>(v));
    bmp.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto u32 = [&](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  bmp.push_back('B');
  bmp.push_back('M');
  u32(54 + pixelBytes);
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<std::uint32_t>(width));
  u32(static_cast<std::uint32_t>(height));
  u16(1);
  u16(24);
  u32(0);
  u32(pixelBytes);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bmp.push_back(b);
      bmp.push_back(g);
      bmp.push_back(r);
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowBytes; ++pad)
      bmp.push_back(0);
  }
  return bmp;
}
