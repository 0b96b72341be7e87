// The time rules shared by the controllers built from scene-file chunks: a loop
// length that wraps the time, and keys spread evenly over a key range. Times
// arrive as float ms; the stored times are whole ms compared as unsigned values.
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

// The looping flag and the loop of a chunk-built controller, as the loader maps
// them from the file.
struct LoopTiming {
  bool looping = false;
  std::uint32_t animStart = 0;   // read from the file; nothing uses it
  std::uint32_t loopLength = 0;  // the file's animation end: a looping time wraps by it

  float Reduce(float time) const { return ReduceLoopTime(time, looping, loopLength); }
};

// A loop with keys spread evenly over keyStart..keyEnd.
struct KeyTiming : LoopTiming {
  std::uint32_t keyStart = 0;  // time of the first key
  std::uint32_t keyEnd = 0;    // time of the last key

  // The key(s) that a time selects after the loop has wrapped it; keyCount >= 1.
  KeyChoice Choose(float time, std::size_t keyCount) const {
    return ChooseKeys(Reduce(time), keyCount, keyStart, keyEnd);
  }
};
