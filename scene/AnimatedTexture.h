// A texture that switches among the pictures listed in a description file by the
// animatable "Active Image" value; its coordinate offset and scale animate too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/Preparable.h"
#include "scene/Texture.h"
#include "scene/loading/Configuration.h"

class AnimatedTexture : public Texture, public Preparable {
 public:
  AnimatedTexture(std::int32_t id, SceneGraph* graph);
  ~AnimatedTexture() override;

  // Parses the description, fetches its images (or `name` alone) and builds its animations.
  void LoadDescription(const std::uint8_t* bytes, std::size_t size, float timeScale,
                       float timeOffset);
  void SetActiveImage(std::int32_t index);

  void Update(bool recurse) override;  // the active image from activeImage
  // "Active Image", "Tex U Offset", "Tex V Offset", "Tex U Scale", "Tex V Scale";
  // any other name is reported ("Invalid control field in AnimatedTexture") and gives null.
  float* GetControlField(const char* name) override;

  std::vector<IDirect3DTexture9*> images;  // owned by the cache
  std::int32_t activeIndex = 0;
  Configuration description;
  float activeImage = 0;
};
