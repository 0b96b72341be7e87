// One picture file on a texture stage: shared through the state cache's texture
// cache by file name, with a coordinate offset and scale, bound in one of the
// combining modes materials ask for. The Direct3D texture belongs to the cache.
#pragma once

#include <cstdint>
#include <string>

#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx9math.h"
#include "scene/Base.h"

// How a texture combines on its stage; the numbers are the design's.
enum class TextureMode {
  kDiffuse = 0,
  kSphere = 1,    // environment reflection through sphere-mapped coordinates
  kSpecular = 3,  // scales the specular colour
  kAdd = 4,
  kLightMap = 5,  // replaces the colour, from the second coordinate set
};

class Texture : public Base {
 public:
  static constexpr const char* kObjectName = "texture";

  Texture(std::int32_t id, SceneGraph* graph);
  ~Texture() override;

  // From the cache (loaded on a miss); the format must be A8R8G8B8, X8R8G8B8 or L8.
  virtual void load(const std::string& fileName);
  // Binds to stage `stage` in `mode` and advances it, while below maxStages.
  virtual void apply(std::uint32_t& stage, TextureMode mode);
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

 private:
  // The stage's combiner, coordinates and addressing for `mode`.
  void SetCombiner(DWORD stage, TextureMode mode);
  // What every mode shares: the alpha arguments and the filters.
  void SetSampling(DWORD stage);
  // Scaled about the picture's centre; the offsets go with opposite signs.
  D3DXMATRIX CoordinateMatrix() const;
};
