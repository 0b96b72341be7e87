// Front end for every format assimp reads (Collada, 3DS, OBJ, FBX, ...): fills the
// in-memory scene in the same conventions as the glTF front end.
#pragma once

#include <string>

#include "tools/sceneimport/ImportModel.h"
#include "tools/sceneimport/ImportReport.h"

namespace sceneimport {

// False with `error` set when assimp cannot read the file.
bool ReadWithAssimp(const std::string& path, ImportScene* scene, ImportReport* report,
                    std::string* error);

}  // namespace sceneimport
