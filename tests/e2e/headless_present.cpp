// A headless live run (no window, no capture) keeps pace with its renderer: the sample
// show played for a few seconds holds its memory flat while it plays and ends soon after
// its last frame, instead of queueing frames for the renderer to work off at the end.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Watched {
  int exitCode = -1;
  std::string output;
  double statsAt = -1;  // seconds after the start when the statistics were printed
  double endedAt = -1;
  std::vector<std::pair<double, long>> rss;  // (seconds, resident kB) while it ran
};

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Runs the player, reading its output and sampling its resident memory as it goes.
Watched Watch(const std::vector<std::string>& arguments, int timeoutSeconds) {
  Watched w;
  int fds[2];
  if (pipe(fds) != 0) return w;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    dup2(fds[1], 2);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv{const_cast<char*>(SHOW_DEMO_EXE)};
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(SHOW_DEMO_EXE, argv.data());
    _exit(127);
  }
  close(fds[1]);
  const Clock::time_point start = Clock::now();
  auto now = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  bool open = true;
  while (open) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) > 0) {
      char buffer[4096];
      ssize_t n = read(fds[0], buffer, sizeof buffer);
      if (n <= 0) {
        open = false;
      } else {
        w.output.append(buffer, static_cast<std::size_t>(n));
        if (w.statsAt < 0 && w.output.find("frames: ") != std::string::npos) w.statsAt = now();
      }
    }
    long kb = ResidentKb(pid);
    if (kb > 0) w.rss.emplace_back(now(), kb);
    if (now() > timeoutSeconds) {
      kill(pid, SIGKILL);
      break;
    }
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  w.endedAt = now();
  if (WIFEXITED(status)) w.exitCode = WEXITSTATUS(status);
  return w;
}

TEST(HeadlessRun, KeepsPaceWithTheRendererWithFlatMemory) {
  const double seconds = 4;
#ifdef __SANITIZE_ADDRESS__
  // The address sanitizer's quarantine of freed memory would read as growth.
  setenv("ASAN_OPTIONS", "quarantine_size_mb=4", 1);
#endif
  Watched w = Watch({"--headless", "--seconds", "4", "--stats", "--data",
                     std::string(SHOW_SOURCE_DIR) + "/examples/sample"},
                    300);
  ASSERT_EQ(w.exitCode, 0) << w.output;
  unsigned frames = 0;
  double loopSeconds = 0;
  std::size_t at = w.output.find("frames: ");
  ASSERT_NE(at, std::string::npos) << w.output;
  ASSERT_EQ(std::sscanf(w.output.c_str() + at, "frames: %u in %lf s", &frames, &loopSeconds), 2);
  EXPECT_GE(loopSeconds, seconds);
  // Every presented frame was drawn by the time the next one began: a handful per second
  // even on the slowest renderer, and nothing left to finish after the last.
  EXPECT_GE(frames, static_cast<unsigned>(seconds));
  EXPECT_LT(w.endedAt - w.statsAt, 10.0) << "the renderer was still working off queued frames";

  // Memory once the show is under way (loading done) until the statistics.
  long low = 0, high = 0;
  int samples = 0;
  for (const auto& [t, kb] : w.rss) {
    if (t < w.statsAt - 2.0 || t > w.statsAt) continue;
    low = samples == 0 ? kb : std::min(low, kb);
    high = std::max(high, kb);
    ++samples;
  }
  ASSERT_GE(samples, 5);
  EXPECT_LT(high - low, 32 * 1024) << "resident memory climbed from " << low << " kB to " << high
                                   << " kB in the last two seconds";
}

}  // namespace
