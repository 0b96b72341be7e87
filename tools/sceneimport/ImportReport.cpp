#include "tools/sceneimport/ImportReport.h"

#include <algorithm>

namespace sceneimport {

void ImportReport::Warn(const std::string& feature, const std::string& subject) {
  auto& subjects = warnings_[feature];
  if (!subject.empty() && std::find(subjects.begin(), subjects.end(), subject) == subjects.end())
    subjects.push_back(subject);
}

bool ImportReport::Mentions(const std::string& featurePart) const {
  for (const auto& [feature, subjects] : warnings_)
    if (feature.find(featurePart) != std::string::npos) return true;
  return false;
}

void ImportReport::Print(std::ostream& out) const {
  out << "nodes " << counts.nodes << ", meshes " << counts.meshes << ", triangles "
      << counts.triangles << ", vertices " << counts.vertices << ", materials "
      << counts.materials << ", textures " << counts.textures << ", cameras " << counts.cameras
      << ", lights " << counts.lights << ", animation channels " << counts.channels
      << ", controllers " << counts.controllers << "\n";
  if (warnings_.empty()) {
    out << "nothing dropped or approximated\n";
    return;
  }
  for (const auto& [feature, subjects] : warnings_) {
    out << "warning: " << feature;
    if (!subjects.empty()) {
      out << ":";
      constexpr std::size_t kListed = 12;
      for (std::size_t i = 0; i < subjects.size() && i < kListed; ++i)
        out << (i ? ", '" : " '") << subjects[i] << "'";
      if (subjects.size() > kListed) out << " and " << subjects.size() - kListed << " more";
    }
    out << "\n";
  }
}

}  // namespace sceneimport
