// glTF 2.0 front end (.gltf and .glb) over tinygltf: fills the in-memory scene with
// glTF's own meanings (camera yfov, KHR_lights_punctual, emissive strength, sampler
// interpolation, morph targets).
#pragma once

#include <string>

#include "tools/sceneimport/ImportModel.h"
#include "tools/sceneimport/ImportReport.h"

namespace sceneimport {

// False with `error` set when the file cannot be read as glTF.
bool ReadGltf(const std::string& path, ImportScene* scene, ImportReport* report,
              std::string* error);

// True for a glTF 1.0 file (binary version 1, or JSON whose asset version is 1.x or
// that has no asset at all), which this front end does not read.
bool IsGltfVersion1(const std::string& path);
// True when the file has skins, which assimp's reader poses.
bool GltfHasSkins(const std::string& path);

}  // namespace sceneimport
