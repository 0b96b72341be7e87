// The sprite chunk: its node is looked up at once and points back, the texture is a
// reference mapped like any other (0xFFFFFFFF too), size and the glow flag.
#include <gtest/gtest.h>

#include "scene/Group.h"
#include "scene/SceneGraph.h"
#include "scene/Sprite.h"
#include "scene/loading/PSKSceneLoader.h"
#include "support/DeviceReferences.h"
#include "tools/scenewriter/SceneWriter.h"

namespace {

scenefile::GroupChunk GroupAt(std::uint32_t index) {
  scenefile::GroupChunk chunk;
  chunk.index = index;
  return chunk;
}

scenefile::SpriteChunk SpriteAt(std::uint32_t index, std::uint32_t node,
                              std::uint32_t texture = scenefile::kNone, float size = 1.0f,
                              std::uint8_t skip = 0) {
  return {index, node, texture, size, skip};
}

void Load(SceneGraph& graph, const scenefile::SceneWriter& writer) {
  auto* loader = graph.Create<PSKSceneLoader>(graph.NextId());
  loader->LoadMemory(writer.Bytes().data(), writer.Bytes().size(), -1, 0, 1, true);
}

TEST(SpriteLoader, SpriteChunkJoinsItsNodeAndMapsItsTexture) {
  scenefile::SceneWriter writer;
  writer.Add(GroupAt(0));
  writer.Add(GroupAt(1));
  writer.Add(SpriteAt(2, 0, 7, 12.5f, 2));
  writer.Add(SpriteAt(3, 1));
  RecordedDevice device;
  SceneGraph graph(device.get());
  Load(graph, writer);
  auto* loader = dynamic_cast<PSKSceneLoader*>(graph.objects.front().get());
  ASSERT_NE(loader, nullptr);
  auto* node = dynamic_cast<Group*>(graph.FindObject(loader->indexMap.at(0)));
  auto* sprite = dynamic_cast<Sprite*>(graph.FindObject(loader->indexMap.at(2)));
  ASSERT_NE(node, nullptr);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->node, node);
  EXPECT_EQ(node->sprite, sprite);
  EXPECT_EQ(sprite->texture.id, loader->indexMap.at(7));  // mapped before its chunk
  EXPECT_FLOAT_EQ(sprite->size, 12.5f);
  EXPECT_TRUE(sprite->skipInGlowPass);
  auto* bare = dynamic_cast<Sprite*>(graph.FindObject(loader->indexMap.at(3)));
  ASSERT_NE(bare, nullptr);
  // "None" is an index like any other: it takes an id, which names no object.
  EXPECT_EQ(bare->texture.id, loader->indexMap.at(scenefile::kNone));
  EXPECT_EQ(bare->texture.Resolve(), nullptr);
  EXPECT_FALSE(bare->skipInGlowPass);
}

TEST(SpriteLoaderDeathTest, ASpriteBeforeItsNodeOrOnANonNodeEndsTheShow) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  scenefile::SceneWriter early;
  early.Add(SpriteAt(1, 0));
  early.Add(GroupAt(0));
  EXPECT_EXIT(
      {
        RecordedDevice device;
        SceneGraph graph(device.get());
        Load(graph, early);
      },
      ::testing::ExitedWithCode(0), "Sprite node names object 0");
  scenefile::SceneWriter onSprite;
  onSprite.Add(GroupAt(0));
  onSprite.Add(SpriteAt(1, 0));
  onSprite.Add(SpriteAt(2, 1));
  EXPECT_EXIT(
      {
        RecordedDevice device;
        SceneGraph graph(device.get());
        Load(graph, onSprite);
      },
      ::testing::ExitedWithCode(0), "which is not a node");
  scenefile::SceneWriter shortChunk;
  shortChunk.Add(GroupAt(0));
  shortChunk.Raw(scenefile::ChunkType::Sprite, 1, 1, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EXIT(
      {
        RecordedDevice device;
        SceneGraph graph(device.get());
        Load(graph, shortChunk);
      },
      ::testing::ExitedWithCode(0), "sprite size");
}

}  // namespace
