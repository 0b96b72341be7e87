// What an import made and every feature it dropped or approximated, by name.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace sceneimport {

struct ImportCounts {
  std::uint64_t nodes = 0, meshes = 0, triangles = 0, vertices = 0, materials = 0,
                textures = 0, cameras = 0, lights = 0, channels = 0, controllers = 0;
};

class ImportReport {
 public:
  // A feature the scene cannot hold, or holds only approximately, for `subject`
  // (a node, material, texture ... name). Repeated features list their subjects once.
  void Warn(const std::string& feature, const std::string& subject = {});
  bool HasWarnings() const { return !warnings_.empty(); }
  const std::map<std::string, std::vector<std::string>>& Warnings() const { return warnings_; }
  bool Mentions(const std::string& featurePart) const;

  ImportCounts counts;

  void Print(std::ostream& out) const;

 private:
  std::map<std::string, std::vector<std::string>> warnings_;
};

}  // namespace sceneimport
