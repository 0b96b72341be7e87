// A model file read whole for the readers that go past assimp to the file's own bytes
// (3DS cameras, MD3 frames). Bounded: a file outside [minBytes, maxBytes] is not read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sceneimport {

// The file's bytes; empty when it cannot be read whole or its size lies outside the bounds.
std::vector<char> ReadFileBytes(const std::string& path, std::size_t minBytes, std::size_t maxBytes);

}  // namespace sceneimport
