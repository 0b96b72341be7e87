#include "script/ScriptText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "text/Text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The line starting at `p` and where the next one starts; any of LF, CR LF and a
// lone CR ends it.
std::string_view NextLine(std::string_view text, std::size_t& p) {
  const std::size_t start = p;
  std::size_t end = text.find_first_of("\r\n", start);
  if (end == std::string_view::npos) end = text.size();
  p = end;
  if (p < text.size() && text[p] == '\r') ++p;
  if (p < text.size() && text[p] == '\n' && (p == end || text[end] == '\r')) ++p;
  return text.substr(start, end - start);
}

}  // namespace

std::vector<ScriptLine> SplitScriptLines(std::string_view text) {
  std::vector<ScriptLine> lines;
  ForEachScriptLine(text, [&lines](const ScriptLine& line) { lines.push_back(line); });
  return lines;
}

void ForEachScriptLine(std::string_view text, const std::function<void(const ScriptLine&)>& visit) {
  text = text.substr(0, text.find('\0'));
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  std::size_t p = 0, number = 0;
  while (p < text.size()) {
    ++number;
    // Tabs stay: a tab before "#" keeps the line from being a comment.
    const std::string_view line = text::Trim(NextLine(text, p), " \r\n");
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string_view> tokens = text::Split(line, " \t", 6);
    ScriptLine parsed;
    parsed.number = number;
    // A line of tabs alone has no token: an empty keyword, as designed.
    if (!tokens.empty()) parsed.keyword = std::string(text::TrimSpace(tokens[0]));
    for (std::size_t i = 1; i < tokens.size(); ++i)
      parsed.arguments.emplace_back(text::TrimSpace(tokens[i]));
    parsed.arguments.resize(5);
    visit(parsed);
  }
}

bool ParseInteger(std::string_view s, std::int32_t& value) {
  std::size_t i = 0;
  while (i < s.size() && text::IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative;
  std::int64_t magnitude = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (s[i] - '0');
    if (magnitude > limit) {
      value = 0;
      return false;
    }
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

bool ParseReal(std::string_view s, float& value) {
  const std::string terminated(s);
  value = ToFloat(std::strtod(terminated.c_str(), nullptr));
  if (std::isfinite(value)) return true;
  value = 0;
  return false;
}

float ToFloat(double value) {
  // Out of float range the conversion is undefined; such values become infinite.
  if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}
