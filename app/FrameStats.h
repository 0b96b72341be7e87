// Frame-time statistics of a run (--stats): every frame's wall time with its
// script time and the item that ran in it, summarised at the end as frames per
// second, median, 95th and 99th percentile and worst, and the frames slower than
// three times the median.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FrameStats {
 public:
  void add(double frameMs, double scriptMs, std::string item);
  std::size_t count() const { return frames_.size(); }
  // The report, several lines; `wallSeconds` is the run's length.
  std::string report(double wallSeconds) const;

 private:
  struct Frame {
    double ms;
    double scriptMs;
    std::string item;
  };
  std::vector<Frame> frames_;
};
