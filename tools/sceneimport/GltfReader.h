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

}  // namespace sceneimport
