// The vertex key frames of a Quake III model (MD3). assimp reads only the first
// frame of each surface; the others are read here, in assimp's vertex order.
#pragma once

#include <string>
#include <vector>

#include <assimp/scene.h>

#include "tools/sceneimport/ImportMath.h"

namespace sceneimport {

// Per mesh of `first` (assimp's reading of `path`), the positions of frames 1 on;
// a mesh whose first frame does not match a surface of the file gets none.
std::vector<std::vector<std::vector<Vec3>>> ReadMd3Frames(const std::string& path, const aiScene& first,
                                                          std::size_t maxFrames);

}  // namespace sceneimport
