// The fixed-function pipeline: the skybox first, then every collected submesh,
// opaque before transparent and grouped by material, then the sprite pass.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "scene/Processor.h"

class Material;
class SubMesh;
class Sprite;

class DefaultProcessor : public Processor {
 public:
  DefaultProcessor(std::int32_t id, SceneGraph* graph);
  ~DefaultProcessor() override;

  void ClearLists() override;
  void Draw() override;
  void CollectNode(Group* group) override;
  void DrawSubMesh(SubMesh* subMesh);
  // Opaque before transparent, then by unsigned material id (not stable).
  void SortSubMeshes();
  // The additive point-sprite pass over spriteList.
  void DrawSprites();

  std::vector<SubMesh*> subMeshList;
  std::vector<Sprite*> spriteList;

 protected:
  // What the previous draw left, reset at the start of every Draw.
  Material* lastMaterial = nullptr;
  float lastVisibility = 0;
  std::uint32_t lastFvf = 0;

 private:
  std::vector<std::pair<std::uint64_t, SubMesh*>> sortKeys_;  // kept between frames
};
