// One run of sceneimport: read the model, build the scene, write the textures and
// the scene file (through a temporary name, so a failure leaves no partial file).
#pragma once

#include <ostream>

#include "tools/sceneimport/ImportOptions.h"
#include "tools/sceneimport/ImportReport.h"

namespace sceneimport {

// Exit status: 0 written, 1 the model could not be imported or written.
int RunImport(const ImportOptions& options, std::ostream& out, std::ostream& err,
              ImportReport* report = nullptr);

// The whole command line; 2 for a bad command line.
int SceneImportMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace sceneimport
