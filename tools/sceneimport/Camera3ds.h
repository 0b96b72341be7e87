// The target cameras of a 3DS file as the file states them (eye, target, roll and
// the key-framer's roll track): assimp keeps only where the eye is and loses what
// it looks at.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/sceneimport/ImportMath.h"

namespace sceneimport {

struct RollKey {
  std::uint32_t frame = 0;
  float degrees = 0;
};

struct TargetCamera {
  Vec3 eye, target;
  float rollDegrees = 0;
  std::vector<RollKey> rollKeys;  // in frame order; empty when the roll does not move
};

// By object name; empty when the file holds none or cannot be read.
std::map<std::string, TargetCamera> Read3dsCameras(const std::string& path);

}  // namespace sceneimport
