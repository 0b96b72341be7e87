// A scene graph on a windowless device, for tests of the scene object model, and
// a pipeline that only records which nodes it is handed.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/os/oshost.h"
#include "scene/Group.h"
#include "scene/Processor.h"
#include "scene/SceneGraph.h"
#include "support/DeviceReferences.h"
#include "support/HeadlessDevice.h"

class RecordingProcessor : public Processor {
 public:
  using Processor::Processor;
  void CollectNode(Group* group) override { collected.push_back(group); }
  void ClearLists() override { collected.clear(); }
  std::vector<Group*> collected;
};

// A scene's fatal end exits with status 0, which would pass a test unnoticed;
// outside EXPECT_SCENE_FATAL the fixture turns it into a crash.
inline bool& SceneFatalExpected() {
  static bool expected = false;
  return expected;
}

#define EXPECT_SCENE_FATAL(statement, message) \
  EXPECT_EXIT(                                 \
      {                                        \
        SceneFatalExpected() = true;           \
        statement;                             \
      },                                       \
      ::testing::ExitedWithCode(0), message)

class SceneModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    SceneFatalExpected() = false;
    OsSetMessageBoxHandler([](const OsMessageBoxRecord&) {
      if (!SceneFatalExpected()) {
        std::fputs("unexpected fatal scene error\n", stderr);
        std::abort();
      }
      return IDOK;
    });
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
    OsSetMessageBoxHandler(nullptr);
  }

  // A registered T with the next id, under the node `parentId` (-1: none).
  template <class T>
  T* Node(const std::string& name, std::int32_t parentId = -1) {
    T* node = graph->Create<T>(graph->NextId());
    node->name = name;
    node->parent.Set(parentId);
    return node;
  }

  // The next id would read as "no parent" to its children (low 16 bits all
  // ones): hand it to no object, so that a long chain stays one chain.
  void SkipIdsThatMeanNoParent() {
    if (!Group::HasParentId(graph->nextId)) graph->NextId();
  }

  D3DMATRIX DeviceTransform(D3DTRANSFORMSTATETYPE type) {
    D3DMATRIX m{};
    EXPECT_EQ(device->GetTransform(type, &m), D3D_OK);
    return m;
  }
  DWORD RenderState(D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    device->GetRenderState(state, &value);
    return value;
  }

  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  std::unique_ptr<SceneGraph> graph;
};

// A regular expression that matches `text` literally, for death-test messages.
inline std::string Literally(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// Quaternion of `radians` about a unit axis.
inline D3DXQUATERNION AxisRotation(float x, float y, float z, float radians) {
  D3DXQUATERNION q;
  const D3DXVECTOR3 axis(x, y, z);
  D3DXQuaternionRotationAxis(&q, &axis, radians);
  return q;
}

#define EXPECT_MATRIX_NEAR(actual, expected, tolerance)                                        \
  do {                                                                                         \
    const D3DMATRIX& a_ = (actual);                                                            \
    const D3DMATRIX& e_ = (expected);                                                          \
    for (int r_ = 0; r_ < 4; ++r_)                                                             \
      for (int c_ = 0; c_ < 4; ++c_)                                                           \
        EXPECT_NEAR(a_.m[r_][c_], e_.m[r_][c_], tolerance) << "element _" << r_ + 1 << c_ + 1; \
  } while (0)
