#include "app/ShowClock.h"

void ShowClock::start(std::uint32_t raw) {
  anchorRaw_ = raw;
  anchorTime_ = 0;
  paused_ = false;
  simulated_.reset();
}

double ShowClock::now(std::uint32_t raw) const {
  if (simulated_) return *simulated_;
  if (paused_) return anchorTime_;
  // Unsigned difference: the designed clock's wrap of the 32-bit count.
  return anchorTime_ + static_cast<double>(static_cast<std::uint32_t>(raw - anchorRaw_));
}

void ShowClock::set(double ms, std::uint32_t raw) {
  anchorRaw_ = raw;
  anchorTime_ = ms;
}

void ShowClock::pause(std::uint32_t raw) {
  if (paused_) return;
  anchorTime_ = now(raw);
  paused_ = true;
}

void ShowClock::resume(std::uint32_t raw) {
  if (!paused_) return;
  anchorRaw_ = raw;
  paused_ = false;
}
