#include "tools/sceneimport/FileBytes.h"

#include <fstream>

namespace sceneimport {

std::vector<char> ReadFileBytes(const std::string& path, std::size_t minBytes, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::size_t>(size) < minBytes || static_cast<std::size_t>(size) > maxBytes)
    return {};
  std::vector<char> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return {};
  return bytes;
}

}  // namespace sceneimport
