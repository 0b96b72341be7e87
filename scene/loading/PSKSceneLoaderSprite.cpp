#include "scene/Group.h"
#include "scene/SceneGraph.h"
#include "scene/Sprite.h"
#include "scene/loading/PSKSceneLoader.h"

void PSKSceneLoader::ReadSprite(std::uint32_t index, ChunkReader& reader) {
  Sprite* sprite = graph->Create<Sprite>(MapIndex(index));
  Group& node = LookUp<Group>(reader, reader.U32("sprite node"), "Sprite node");
  sprite->node = &node;
  node.sprite = sprite;
  sprite->texture.Set(MapIndex(reader.U32("sprite texture")));
  sprite->size = reader.F32("sprite size");
  sprite->skipInGlowPass = reader.U8("sprite glow flag") != 0;
}
