#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scene/Preparable.h"
#include "scene/SceneGraph.h"
#include "scene/loading/Configuration.h"
#include "scene/loading/KeyframeFloatController.h"

namespace {

// The number that "%d" writes for a value in 0 .. limit-1, read back from the
// start of `text` up to `end`: no sign, no leading zeros. -1 for anything else.
std::int64_t PatternNumber(std::string_view text, std::int32_t limit) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return -1;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value < limit ? value : -1;
}

// The pieces between runs of spaces; leading spaces yield no empty piece.
std::vector<std::string_view> SplitAtSpaces(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    if (at == text.size()) break;
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    pieces.push_back(text.substr(at, end - at));
    at = end;
  }
  return pieces;
}

// The indices i < limit of the present keys "<prefix>i<suffix>", ascending. Only
// keys that exist are visited, so a count of 2^31 costs nothing beyond them.
std::vector<std::pair<std::int64_t, const std::string*>> PresentKeys(
    const Configuration& properties, const std::string& prefix, std::string_view suffix,
    std::int32_t limit) {
  std::vector<std::pair<std::int64_t, const std::string*>> found;
  for (auto it = properties.values.lower_bound(prefix);
       it != properties.values.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    std::string_view rest(it->first);
    rest.remove_prefix(prefix.size());
    if (rest.size() < suffix.size() || rest.substr(rest.size() - suffix.size()) != suffix)
      continue;
    std::int64_t index = PatternNumber(rest.substr(0, rest.size() - suffix.size()), limit);
    if (index >= 0) found.emplace_back(index, &it->second);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

void Preparable::LoadAnimations(SceneGraph* graph, const Configuration& properties,
                                float animOffset, float animScale) {
  const std::int32_t count = properties.GetInt("animations");
  if (count <= 0) return;
  // Numbers of key values read by the property text's own rules.
  Configuration number;
  auto readFloat = [&number](std::string_view text) {
    number.values["n"] = std::string(text);
    return number.GetFloat("n");
  };
  // An animation without a field names nothing to drive: it is skipped.
  for (const auto& [i, field] : PresentKeys(properties, "a", ".field", count)) {
    std::string name = "a";
    name += std::to_string(i);
    const bool looping = properties.GetInt(name + ".looping") == 1;
    auto controller = std::make_unique<KeyframeFloatController>(this, field->c_str(), looping);
    const std::int32_t keyCount = properties.GetInt(name + ".keyframes");
    if (keyCount > 0) {
      // Missing keys count as empty text and add nothing, so only present ones matter.
      for (const auto& [j, text] : PresentKeys(properties, name + ".kf", "", keyCount)) {
        const std::vector<std::string_view> pieces = SplitAtSpaces(*text);
        if (pieces.empty()) continue;
        const float time = readFloat(pieces[0]) * animScale + animOffset;
        const float value = pieces.size() > 1 ? readFloat(pieces[1]) : 0.0f;
        controller->AddKey(time, value);
      }
    }
    graph->AddController(std::move(controller));
  }
}
