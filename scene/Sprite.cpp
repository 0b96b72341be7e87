#include "scene/Sprite.h"

#include <cstdint>
#include <cstring>

#include "scene/SceneFatal.h"

Sprite::Sprite(std::int32_t id, SceneGraph* graph) : Base(id, graph), texture(graph) {}

Sprite::~Sprite() = default;

float* Sprite::GetControlField(const char* name) {
  if (!name) return nullptr;  // no name, no field
  if (std::strcmp(name, "Size") == 0) return &size;
  SceneFatal("Sprite: Invalid control field!");
}

bool Sprite::DrawsBefore(const Sprite* a, const Sprite* b) {
  return static_cast<std::uint32_t>(a->texture.id) < static_cast<std::uint32_t>(b->texture.id);
}
