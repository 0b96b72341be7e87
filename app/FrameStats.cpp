#include "app/FrameStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
  return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

}  // namespace

void FrameStats::add(double frameMs, double scriptMs, std::string item) {
  frames_.push_back({frameMs, scriptMs, std::move(item)});
}

std::string FrameStats::report(double wallSeconds) const {
  std::vector<double> sorted;
  sorted.reserve(frames_.size());
  for (const Frame& f : frames_) sorted.push_back(f.ms);
  std::sort(sorted.begin(), sorted.end());
  const double median = Percentile(sorted, 50);
  char line[256];
  std::snprintf(line, sizeof line,
                "frames: %zu in %.2f s, %.1f fps; frame time median %.2f ms, 95th %.2f ms, "
                "99th %.2f ms, worst %.2f ms\n",
                frames_.size(), wallSeconds,
                wallSeconds > 0 ? static_cast<double>(frames_.size()) / wallSeconds : 0.0, median,
                Percentile(sorted, 95), Percentile(sorted, 99), sorted.empty() ? 0 : sorted.back());
  std::string out = line;
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const Frame& f = frames_[i];
    if (!(f.ms > 3 * median) || median <= 0) continue;
    std::snprintf(line, sizeof line, "slow frame %zu: %.2f ms at script time %.3f s, item %s\n",
                  i, f.ms, f.scriptMs / 1000.0, f.item.c_str());
    out += line;
  }
  return out;
}
