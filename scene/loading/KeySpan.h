// The time rules shared by the sampled controllers: a loop length that wraps the
// time, and keys spread evenly over a key range. Times arrive as float ms; the
// range ends are whole ms compared as unsigned values.
#pragma once

#include <cstddef>
#include <cstdint>

// The time within the loop: while t > animEnd, t -= animEnd, done in closed form
// (exact while the subtraction is; a stalled subtraction or a zero loop length
// cannot hang). A zero loop length leaves the time as it is.
float ReduceLoopTime(float time, bool looping, std::uint32_t animEnd);

// The key, or pair of keys with a blend factor, that a time selects among
// `keyCount` keys spread over keyStart..keyEnd.
struct KeyChoice {
  std::size_t first = 0;
  std::size_t second = 0;  // equal to first when one key is used alone
  float blend = 0;         // weight of the second key
  bool Alone() const { return first == second; }
};
// keyCount must be at least 1. A range whose end equals its start uses key 0 at
// that instant; a time that is not a number uses key 0.
KeyChoice ChooseKeys(float time, std::size_t keyCount, std::uint32_t keyStart,
                     std::uint32_t keyEnd);
