// A point sprite carried by a node: one additive, screen-facing square at the
// node's origin whose "Size" shrinks with distance from the camera.
#pragma once

#include <cstdint>

#include "scene/Base.h"
#include "scene/ObjectRef.h"
#include "scene/Preparable.h"
#include "scene/Texture.h"

class Group;

class Sprite : public Preparable, public Base {
 public:
  static constexpr const char* kObjectName = "sprite";

  Sprite(std::int32_t id, SceneGraph* graph);
  ~Sprite() override;

  void Update(bool) override {}
  float* GetControlField(const char* name) override;  // "Size"
  // Draw order: smaller texture id first, ids compared unsigned (-1 last).
  static bool DrawsBefore(const Sprite* a, const Sprite* b);

  Group* node = nullptr;  // the carrier, not owned
  ObjectRef<Texture> texture;
  float size = 0;
  bool skipInGlowPass = false;
};
