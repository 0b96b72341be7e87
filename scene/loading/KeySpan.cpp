#include "scene/loading/KeySpan.h"

#include <cmath>

float ReduceLoopTime(float time, bool looping, std::uint32_t animEnd) {
  const float loop = static_cast<float>(animEnd);
  if (!looping || animEnd == 0 || !(time > loop)) return time;
  // Each step of the repeated subtraction is exact while the time is below 2^24 ms,
  // so the remainder equals it; beyond that it is the sound value the steps lose.
  double rest = std::fmod(static_cast<double>(time), static_cast<double>(loop));
  if (std::isnan(rest)) return loop;  // an infinite time: the end of a cycle
  // The subtraction stops at t == animEnd without wrapping it to 0.
  if (rest == 0) rest = loop;
  return static_cast<float>(rest);
}

KeyChoice ChooseKeys(float time, std::size_t keyCount, std::uint32_t keyStart,
                     std::uint32_t keyEnd) {
  const std::size_t last = keyCount - 1;
  if (time < static_cast<float>(keyStart)) return {0, 0, 0};
  if (time > static_cast<float>(keyEnd)) return {last, last, 0};
  const std::uint32_t span = keyEnd - keyStart;
  if (span == 0) return {0, 0, 0};
  const float p = (time - static_cast<float>(keyStart)) * static_cast<float>(last) /
                  static_cast<float>(span);
  if (std::isnan(p) || p <= 0) return {0, 0, 0};
  // Rounding of the range ends above 2^24 ms could push p past the last key.
  if (p >= static_cast<float>(last)) return {last, last, 0};
  const float below = std::floor(p);
  const auto first = static_cast<std::size_t>(below);
  if (p == below) return {first, first, 0};
  return {first, first + 1, p - below};
}
