// One range of a mesh's indices drawn with one material.
#pragma once

#include <cstdint>

#include "scene/Base.h"
#include "scene/Material.h"
#include "scene/ObjectRef.h"

class Mesh;

class SubMesh : public Base {
 public:
  static constexpr const char* kObjectName = "submesh";

  SubMesh(std::int32_t id, SceneGraph* graph);

  // False when the material does not resolve; else the material's test for the
  // carrying node's visibility.
  bool IsTransparent();

  ObjectRef<Material> material;
  Mesh* mesh = nullptr;  // the owner, not owned
  std::uint32_t indexCount = 0;
  std::uint32_t startIndex = 0;
};
