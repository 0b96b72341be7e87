#include <gtest/gtest.h>

#include "scene/Camera.h"
#include "scene/VertexBuffer.h"
#include "scene/loading/CameraActivatorController.h"
#include "scene/loading/PRSController.h"
#include "scene/loading/PSKSceneLoader.h"
#include "scene/loading/SampleFloatController.h"
#include "scene/loading/VertexController.h"
#include "scene/SceneModelFixture.h"
#include "tools/scenewriter/SceneWriter.h"

namespace {

using namespace scenefile;

class AnimationChunksTest : public SceneModelTest {
 protected:
  void Load(float offset = 0, float scale = 1, bool looping = true) {
    loader = graph->Create<PSKSceneLoader>(graph->NextId());
    loader->LoadMemory(writer.Bytes().data(), writer.Bytes().size(), -1, offset, scale, looping);
  }
  // The object the file's `index` became.
  template <class T>
  T* Object(std::uint32_t index) {
    return dynamic_cast<T*>(graph->FindObject(loader->indexMap.at(index)));
  }
  template <class C>
  C* Controller(std::size_t i) {
    return i < graph->controllers.size() ? dynamic_cast<C*>(graph->controllers[i].get())
                                         : nullptr;
  }
  void AddNode(std::uint32_t index) {
    GroupChunk node;
    node.index = index;
    node.node.position = {1, 2, 3};
    node.node.rotation = {0, 0, 1, 0};
    node.node.scale = {4, 5, 6};
    writer.Add(node);
  }
  void AddVertices(std::uint32_t index, std::size_t extraFrames) {
    VertexBufferChunk chunk;
    chunk.index = index;
    chunk.vertices.resize(3);
    chunk.extraFrames.assign(extraFrames, {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}});
    writer.Add(chunk);
  }

  SceneWriter writer;
  PSKSceneLoader* loader = nullptr;
};

TEST_F(AnimationChunksTest, TransformKeysTakeMissingPartsFromTheNodesChunk) {
  AddNode(0);
  PRSControllerChunk prs;
  prs.index = 1;
  prs.node = 0;
  prs.times = {0, 1000, 100, 600};
  prs.keyFlags = scenefile::kKeyPosition;
  prs.keys.resize(2);
  prs.keys[1].position = {10, 20, 30};
  writer.Add(prs);
  Load(50, 2, false);

  auto* c = Controller<PRSController>(0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->node, Object<Group>(0));
  EXPECT_FALSE(c->timing.looping);
  EXPECT_EQ(c->timing.animStart, 50u);
  EXPECT_EQ(c->timing.loopLength, 2050u);
  EXPECT_EQ(c->timing.keyStart, 250u);
  EXPECT_EQ(c->timing.keyEnd, 1250u);
  ASSERT_EQ(c->keys.size(), 2u);
  EXPECT_EQ(c->keys[0].position, D3DXVECTOR3(0, 0, 0));
  EXPECT_EQ(c->keys[1].position, D3DXVECTOR3(10, 20, 30));
  for (const Transform& key : c->keys) {
    EXPECT_EQ(key.rotation, D3DXQUATERNION(0, 0, 1, 0));
    EXPECT_EQ(key.scale, D3DXVECTOR3(4, 5, 6));
  }
}

TEST_F(AnimationChunksTest, KeysWithoutPartsAreOneKeyHoweverManyAreCounted) {
  AddNode(0);
  std::vector<std::uint8_t> payload(4 * 6, 0);  // node 0, four times 0, flags 0
  payload.insert(payload.end(), {0xFF, 0xFF, 0xFF, 0xFF});  // 2^32 - 1 keys of no bytes
  writer.Raw(scenefile::ChunkType::PRSController, 1, 1, payload);
  Load();
  auto* c = Controller<PRSController>(0);
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->keys.size(), 1u);
  EXPECT_EQ(c->keys[0].scale, D3DXVECTOR3(4, 5, 6));
}

TEST_F(AnimationChunksTest, CameraActivationSortsItsTimesAndMapsOnlyTheRange) {
  CameraChunk camera;
  camera.version = 2;
  camera.switchTimes = {300, 100};
  camera.animStart = 10;
  camera.animEnd = 1000;
  writer.Add(camera);
  CameraChunk plain;
  plain.index = 1;
  plain.version = 1;  // no activation list
  writer.Add(plain);
  Load(50, 2, true);
  ASSERT_EQ(graph->controllers.size(), 1u);
  auto* c = Controller<CameraActivatorController>(0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->camera, Object<Camera>(0));
  EXPECT_EQ(c->switchTimes, (std::vector<std::uint32_t>{100, 300}));
  EXPECT_EQ(c->nextSwitch, 100u);
  EXPECT_EQ(c->timing.animStart, 70u);
  EXPECT_EQ(c->timing.loopLength, 2050u);
  EXPECT_TRUE(c->timing.looping);
}

TEST_F(AnimationChunksTest, VertexControllerNeedsAMultiFrameBuffer) {
  AddVertices(0, 2);
  VertexControllerChunk chunk;
  chunk.index = 1;
  chunk.vertexBuffer = 0;
  chunk.times = {0, 900, 0, 300};
  writer.Add(chunk);
  Load();
  auto* c = Controller<VertexController>(0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->buffer, Object<MultiVertexBuffer>(0));
  EXPECT_EQ(c->buffer->frames.size(), 3u);
  EXPECT_EQ(c->timing.loopLength, 900u);
  EXPECT_EQ(c->timing.keyEnd, 300u);
  EXPECT_TRUE(c->timing.looping);

  SceneWriter single;
  writer = single;
  AddVertices(0, 0);
  writer.Add(chunk);
  EXPECT_SCENE_FATAL(Load(), "Vertex controller names vertex buffer 0, which has a single frame");
}

TEST_F(AnimationChunksTest, SampledControllerReadsItsSamples) {
  AddNode(0);
  SampleFloatControllerChunk chunk;
  chunk.index = 1;
  chunk.target = 0;
  chunk.field = "VISTRACK";
  chunk.times = {0, 2000, 100, 300};
  chunk.samples = {0.25f, 1.0f};
  writer.Add(chunk);
  Load(0, 1, false);
  auto* c = Controller<SampleFloatController>(0);
  ASSERT_NE(c, nullptr);
  auto* node = Object<Group>(0);
  EXPECT_EQ(c->field, &node->visibility);
  EXPECT_EQ(c->samples, (std::vector<float>{0.25f, 1.0f}));
  EXPECT_EQ(c->timing.keyStart, 100u);
  EXPECT_EQ(c->timing.loopLength, 2000u);
  graph->SetTime(200);
  EXPECT_FLOAT_EQ(node->visibility, 0.625f);
}

TEST_F(AnimationChunksTest, SampledControllerAimedAtAnObjectWithoutFieldsEndsTheShow) {
  AddVertices(0, 0);
  SampleFloatControllerChunk chunk;
  chunk.index = 1;
  chunk.target = 0;
  chunk.field = "OPACITY";
  chunk.samples = {1};
  writer.Add(chunk);
  EXPECT_SCENE_FATAL(Load(), "Sampled float controller names object 0, which is not a");
  // A sample count the chunk cannot hold.
  SceneWriter damaged;
  writer = damaged;
  AddNode(0);
  std::vector<std::uint8_t> payload = {0, 0, 0, 0, 8, 0};
  payload.insert(payload.end(), {'V', 'I', 'S', 'T', 'R', 'A', 'C', 'K'});
  payload.resize(payload.size() + 16, 0);
  payload.insert(payload.end(), {0xFF, 0xFF, 0xFF, 0x7F});
  writer.Raw(scenefile::ChunkType::SampleFloatController, 1, 1, payload);
  EXPECT_SCENE_FATAL(Load(), "sample count of 2147483647 cannot fit");
}

}  // namespace
