// One picture file on a texture stage: shared through the state cache's texture
// cache by file name, with a coordinate offset and scale, bound in one of the
// combining modes materials ask for (0 diffuse, 1 sphere, 3 specular, 4 add,
// 5 light map). The Direct3D texture belongs to the cache.
#pragma once

#include <cstdint>
#include <string>

#include "platform/d3d9/d3d9.h"
#include "scene/Base.h"

class Texture : public Base {
 public:
  static constexpr const char* kObjectName = "texture";

  Texture(std::int32_t id, SceneGraph* graph);
  ~Texture() override;

  // From the cache (loaded on a miss); the format must be A8R8G8B8, X8R8G8B8 or L8.
  virtual void load(const std::string& fileName);
  // Binds to stage `stage` in `mode` and advances it, while below maxStages.
  virtual void apply(std::uint32_t& stage, int mode);
  virtual bool HasAlpha() const { return hasAlpha; }

  IDirect3DTexture9* texture = nullptr;  // owned by the cache
  bool hasAlpha = false;
  std::string name = "not loaded";
  std::uint32_t maxStages;  // the device's simultaneous textures
  float uScale = 1.0f, vScale = 1.0f;
  float uOffset = 0.0f, vOffset = 0.0f;

 protected:
  // The cached texture for `fileName` with its level-0 format checked (sets hasAlpha).
  IDirect3DTexture9* fetch(const std::string& fileName);
};
