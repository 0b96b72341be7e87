// Base of the scene file loaders: an object of the scene graph it loads into,
// reading a whole file through the memory files (disk first, then the archive).
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/Base.h"

class SceneLoader : public Base {
 public:
  using Base::Base;
  // Reads `path` whole (its failures end the show) and loads it.
  void LoadFile(const char* path, std::int32_t parentId = -1, float timeOffset = 0,
                float timeScale = 1.0f, bool looping = true);
  virtual void LoadMemory(const std::uint8_t* bytes, std::size_t length, std::int32_t parentId,
                          float timeOffset, float timeScale, bool looping) = 0;

 protected:
  const char* fileName = "";  // the file being loaded, for messages
};
