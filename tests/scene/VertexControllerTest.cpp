#include <gtest/gtest.h>

#include <cstring>

#include "scene/IndexBuffer.h"
#include "scene/VertexBuffer.h"
#include "scene/loading/VertexController.h"
#include "scene/SceneModelFixture.h"

namespace {

// One triangle in the z = 0 plane whose far corner rises from z = 0 (frame 0) to
// z = 2 (frame 2) over 0..1000 ms.
class VertexControllerTest : public SceneModelTest {
 protected:
  void SetUp() override {
    SceneModelTest::SetUp();
    indices = graph->Create<IndexBuffer>(graph->NextId());
    indices->indices = {0, 1, 2};
    indices->triangleCount = 1;
    buffer = graph->Create<MultiVertexBuffer>(graph->NextId(), 3u);
    buffer->frames = {Frame(0), Frame(1), Frame(2)};
    for (int v = 0; v < 3; ++v) {
      std::memcpy(buffer->vertices[v].position, buffer->frames[0][v].data(), 12);
      buffer->vertices[v].uv0[0] = 0.25f * v;
    }
    buffer->BuildAdjacency(*indices);
    ASSERT_TRUE(graph->cache->CreateVertexBuffer(*buffer));
    controller = std::make_unique<VertexController>(buffer);
    controller->timing.keyEnd = 1000;
  }
  static MultiVertexBuffer::Frame Frame(float z) { return {{0, 0, 0}, {1, 0, 0}, {0, 1, z}}; }
  // What the device buffer holds for vertex `v`.
  SceneVertex Uploaded(int v) {
    void* data = nullptr;
    SceneVertex out{};
    if (FAILED(buffer->deviceBuffer->Lock(0, 0, &data, D3DLOCK_READONLY)) || !data) return out;
    std::memcpy(&out, static_cast<const SceneVertex*>(data) + v, sizeof out);
    buffer->deviceBuffer->Unlock();
    return out;
  }

  IndexBuffer* indices = nullptr;
  MultiVertexBuffer* buffer = nullptr;
  std::unique_ptr<VertexController> controller;
};

TEST_F(VertexControllerTest, BlendsFramesAndUploadsWithFreshNormals) {
  controller->Evaluate(250);  // halfway between frames 0 and 1
  EXPECT_FLOAT_EQ(buffer->vertices[2].position[2], 0.5f);
  const SceneVertex uploaded = Uploaded(2);
  EXPECT_FLOAT_EQ(uploaded.position[2], 0.5f);
  EXPECT_EQ(uploaded.uv0[0], 0.5f);  // texture coordinates left alone
  // The tilted triangle's normal: (0, -0.5, 1) normalised.
  EXPECT_NEAR(uploaded.normal[1], -0.5f / std::sqrt(1.25f), 1e-6);
  EXPECT_NEAR(uploaded.normal[2], 1.0f / std::sqrt(1.25f), 1e-6);
  controller->Evaluate(500);  // frame 1 alone
  EXPECT_EQ(Uploaded(2).position[2], 1.0f);
  controller->Evaluate(5000);
  EXPECT_EQ(Uploaded(2).position[2], 2.0f);
  EXPECT_EQ(Uploaded(1).position[0], 1.0f);
}

TEST_F(VertexControllerTest, LoopsLikeTheOtherSampledControllers) {
  controller->timing.looping = true;
  controller->timing.loopLength = 1000;
  controller->Evaluate(1750);  // as 750
  EXPECT_FLOAT_EQ(Uploaded(2).position[2], 1.5f);
  controller->Evaluate(1000);  // not wrapped
  EXPECT_EQ(Uploaded(2).position[2], 2.0f);
}

TEST_F(VertexControllerTest, ShortFramesOnlyMoveTheVerticesTheyHold) {
  buffer->frames[1].resize(2);
  controller->Evaluate(500);
  EXPECT_EQ(buffer->vertices[2].position[2], 0.0f);  // untouched, not read past the frame
  EXPECT_EQ(buffer->vertices[1].position[0], 1.0f);
  buffer->frames.clear();
  buffer->vertices[2].position[2] = 9;
  controller->Evaluate(500);  // no frames: nothing written
  EXPECT_EQ(buffer->vertices[2].position[2], 9.0f);
}

}  // namespace
