// The show's clock in milliseconds, over the millisecond count of the performance
// counter: it can be paused, set to another time, and replaced by a virtual time
// while a seek steps through the show without drawing. Left alone it reads what
// the designed clock reads: the 32-bit count since the start, wrapping with it.
#pragma once

#include <cstdint>
#include <optional>

class ShowClock {
 public:
  // `raw` is the counter's millisecond count now.
  void start(std::uint32_t raw);
  double now(std::uint32_t raw) const;
  // From here the clock reads `ms` and runs on (or stays there while paused).
  void set(double ms, std::uint32_t raw);
  void pause(std::uint32_t raw);
  void resume(std::uint32_t raw);
  bool paused() const { return paused_; }
  // While set, now() is exactly this.
  void simulate(std::optional<double> ms) { simulated_ = ms; }
  bool simulating() const { return simulated_.has_value(); }

 private:
  std::uint32_t anchorRaw_ = 0;
  double anchorTime_ = 0;
  bool paused_ = false;
  std::optional<double> simulated_;
};
