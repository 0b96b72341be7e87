// Colours, opacity and up to five texture layers turned into fixed-function state:
// device material, texture stages, lighting and blending. Opacity is animatable.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9types.h"
#include "scene/Base.h"
#include "scene/ObjectRef.h"
#include "scene/Preparable.h"
#include "scene/Texture.h"

// How a transparent material meets what is drawn behind it. A scene file may hold any
// byte here; a value outside these leaves blending as the draw before set it.
enum class BlendMode : std::int32_t { kSubtractive = 0, kAdditive = 1, kAlphaBlended = 2 };

class Material : public Base, public Preparable {
 public:
  static constexpr const char* kObjectName = "material";

  Material(std::int32_t id, SceneGraph* graph);
  ~Material() override;

  void Link() override;  // derives deviceMaterial; a diffuse map with alpha turns mode 0 into 2
  // Every state for drawing a node of the given visibility with this material.
  virtual void Apply(float visibility);
  bool IsTransparent(float visibility);

  void Update(bool) override {}
  float* GetControlField(const char* name) override;  // "OPACITY"

  D3DMATERIAL9 deviceMaterial{};
  ObjectRef<Texture> diffuseMap;
  ObjectRef<Texture> sphereMap;
  ObjectRef<Texture> specularMap;
  ObjectRef<Texture> addMap;
  ObjectRef<Texture> lightMap;
  BlendMode blendMode = BlendMode::kSubtractive;
  D3DCOLORVALUE diffuseColor{};
  D3DCOLORVALUE specularColor{};
  D3DCOLORVALUE ambientColor{};
  float power = 0;
  float specularLevel = 0;
  float selfIllum = 0;
  float opacity = 1.0f;  // "OPACITY"
};
