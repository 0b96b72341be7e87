// A frame rate as a fraction of whole numbers (60, or 60000/1001), so that frame
// n falls at exactly n * 1000 * den / num ms with no rounding drift.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct FrameRate {
  std::int64_t num = 60;
  std::int64_t den = 1;

  bool operator==(const FrameRate&) const = default;
  double perSecond() const { return static_cast<double>(num) / static_cast<double>(den); }
  // Whole milliseconds at the start of frame n, as the capture clock reads them.
  std::int64_t frameMs(std::int64_t n) const { return n * 1000 * den / num; }
  // The first frame whose start is at or after `ms`.
  std::int64_t firstFrameAt(double ms) const;
  // Frames in `seconds`, rounded to the nearest frame.
  std::int64_t framesIn(double seconds) const;
  std::string text() const;
};

// "N" or "N/D", whole and positive, from 1 to 1000 frames a second.
std::optional<FrameRate> ParseFrameRate(const std::string& text);
