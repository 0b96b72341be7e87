#include "script/ScriptText.h"

#include <cctype>
#include <cstdlib>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLine(const std::string& s) {
  // Tabs stay: a tab before "#" keeps the line from being a comment.
  auto trimmed = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
  std::size_t b = 0, e = s.size();
  while (b < e && trimmed(s[b])) ++b;
  while (e > b && trimmed(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string TrimSpace(const std::string& s) {
  auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  std::size_t b = 0, e = s.size();
  while (b < e && space(s[b])) ++b;
  while (e > b && space(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The next space- or tab-separated token at `p`, or false when none is left.
bool NextToken(const std::string& line, std::size_t& p, std::string& token) {
  while (p < line.size() && IsBlank(line[p])) ++p;
  if (p >= line.size()) return false;
  std::size_t start = p;
  while (p < line.size() && !IsBlank(line[p])) ++p;
  token = TrimSpace(line.substr(start, p - start));
  return true;
}

}  // namespace

std::vector<ScriptLine> SplitScriptLines(const std::string& text) {
  std::vector<ScriptLine> lines;
  std::size_t p = 0;
  while (p < text.size()) {
    while (p < text.size() && text[p] == '\n') ++p;
    std::size_t end = text.find('\n', p);
    if (end == std::string::npos) end = text.size();
    std::string line = TrimLine(text.substr(p, end - p));
    p = end < text.size() ? end + 1 : end;
    if (line.empty() || line[0] == '#') continue;
    ScriptLine parsed;
    std::size_t q = 0;
    NextToken(line, q, parsed.keyword);
    std::string token;
    while (parsed.arguments.size() < 5 && NextToken(line, q, token)) parsed.arguments.push_back(token);
    parsed.arguments.resize(5);
    lines.push_back(std::move(parsed));
  }
  return lines;
}

std::int32_t ParseInteger(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::uint32_t value = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') value = value * 10u + static_cast<std::uint32_t>(s[i++] - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

float ParseReal(const std::string& s) { return ToFloat(std::strtod(s.c_str(), nullptr)); }

float ToFloat(double value) {
  // Out of float range the conversion is undefined; such values become infinite.
  if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}
