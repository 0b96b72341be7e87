// The target cameras of a 3DS file as the file states them (eye, target, roll):
// assimp keeps only where the eye is and loses what it looks at.
#pragma once

#include <map>
#include <string>

#include "tools/sceneimport/ImportMath.h"

namespace sceneimport {

struct TargetCamera {
  Vec3 eye, target;
  float rollDegrees = 0;
};

// By object name; empty when the file holds none or cannot be read.
std::map<std::string, TargetCamera> Read3dsCameras(const std::string& path);

}  // namespace sceneimport
