#include "media/SequenceFile.h"

#include <cmath>
#include <cstdlib>

namespace {

std::string_view Trim(std::string_view s, std::string_view blanks) {
  const auto first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

constexpr std::string_view kLineBlanks = " \r\n";
constexpr std::string_view kTokenSeparators = " \t";

// Lines at "\n", empty pieces dropped, each trimmed of spaces and line ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.push_back(Trim(text.substr(start, end - start), kLineBlanks));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string_view> SplitTokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t pos = 0;
  while ((pos = line.find_first_not_of(kTokenSeparators, pos)) != std::string_view::npos) {
    std::size_t end = line.find_first_of(kTokenSeparators, pos);
    if (end == std::string_view::npos) end = line.size();
    tokens.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return tokens;
}

// A leading decimal number as atof reads it; 0 when there is none.
float ReadFloat(std::string_view s) {
  const std::string copy(s);
  return std::strtof(copy.c_str(), nullptr);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithFps(std::string_view line) {
  return line.size() >= 3 && Lower(line[0]) == 'f' && Lower(line[1]) == 'p' &&
         Lower(line[2]) == 's';
}

// Milliseconds between frames at `rate` frames per second; 0 for an unusable rate.
float FrameStep(std::string_view rateLine) {
  const auto equals = rateLine.find('=');
  if (equals == std::string_view::npos) return 0;
  const float rate = ReadFloat(Trim(rateLine.substr(equals + 1), kLineBlanks));
  if (!(rate > 0) || !std::isfinite(rate)) return 0;
  return 1000.0f / rate;
}

bool Skipped(std::string_view line) { return line.empty() || line.front() == '#'; }

}  // namespace

std::vector<SequenceEntry> ParseSequenceFile(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  std::vector<SequenceEntry> entries;
  if (lines.empty()) return entries;

  if (StartsWithFps(lines.front())) {
    const float step = FrameStep(lines.front());
    float time = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      if (Skipped(lines[i])) continue;
      entries.push_back({time, std::string(lines[i])});
      time += step;
    }
    return entries;
  }

  for (std::string_view line : lines) {
    if (Skipped(line)) continue;
    const std::vector<std::string_view> tokens = SplitTokens(line);
    if (tokens.empty()) continue;
    SequenceEntry entry;
    entry.time = ReadFloat(tokens[0]);
    if (tokens.size() > 1) entry.fileName = Trim(tokens[1], kLineBlanks);
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool IsSequenceFileName(std::string_view fileName) {
  if (fileName.size() < 3) return false;
  const std::string_view tail = fileName.substr(fileName.size() - 3);
  return Lower(tail[0]) == 's' && Lower(tail[1]) == 'e' && Lower(tail[2]) == 'q';
}
