#include "app/FrameRate.h"

#include <cmath>
#include <cstdlib>

namespace {

bool ParseWhole(const std::string& text, std::int64_t& value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  value = std::strtoll(text.c_str(), nullptr, 10);
  return value > 0;
}

}  // namespace

std::int64_t FrameRate::firstFrameAt(double ms) const {
  if (!(ms > 0)) return 0;
  auto n = static_cast<std::int64_t>(std::floor(ms * static_cast<double>(num) /
                                                (1000.0 * static_cast<double>(den))));
  if (n < 0) n = 0;
  // The guess may be one off either way through rounding; settle it exactly.
  while (n > 0 && static_cast<double>(frameMs(n - 1)) >= ms) --n;
  while (static_cast<double>(frameMs(n)) < ms) ++n;
  return n;
}

std::int64_t FrameRate::framesIn(double seconds) const {
  return static_cast<std::int64_t>(std::llround(seconds * perSecond()));
}

std::string FrameRate::text() const {
  return den == 1 ? std::to_string(num) : std::to_string(num) + "/" + std::to_string(den);
}

std::optional<FrameRate> ParseFrameRate(const std::string& text) {
  FrameRate rate;
  std::size_t slash = text.find('/');
  if (!ParseWhole(text.substr(0, slash), rate.num)) return std::nullopt;
  if (slash != std::string::npos && !ParseWhole(text.substr(slash + 1), rate.den))
    return std::nullopt;
  if (rate.num < rate.den || rate.num > 1000 * rate.den) return std::nullopt;
  return rate;
}
