// Finds the picture a model names, as a show maker's files really are: paths from
// another machine (absolute, with backslashes), pictures moved beside the model or
// into a folder below it, and names whose letter case differs from the file's.
#pragma once

#include <string>

namespace sceneimport {

// The file for `reference` as named by a model in `modelFolder`, or empty when none
// is found. Tried in order: the reference as written (relative to the model), then
// its file name beside the model, then in the folders below it; at each place an
// exact name first, then one that differs only in letter case.
std::string FindTextureFile(const std::string& modelFolder, const std::string& reference);

}  // namespace sceneimport
