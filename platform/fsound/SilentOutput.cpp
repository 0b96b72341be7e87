#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/fsound/SoundOutput.h"

namespace {

class SilentOutput : public SoundOutput {
 public:
  SilentOutput(MixSource source, int mixRate) : source_(std::move(source)), mixRate_(mixRate) {}
  ~SilentOutput() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  void start() { thread_ = std::thread([this] { run(); }); }

 private:
  void run() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::int64_t done = 0;
    constexpr std::int64_t kChunk = 4096;
    std::vector<std::int16_t> scratch(kChunk * 2);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopping_; })) {
      auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
      std::int64_t due = elapsed.count() * mixRate_ / 1000000;
      lock.unlock();
      while (done < due) {
        std::int64_t frames = due - done < kChunk ? due - done : kChunk;
        source_(scratch.data(), static_cast<std::size_t>(frames));
        done += frames;
      }
      lock.lock();
    }
  }

  MixSource source_;
  int mixRate_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<SoundOutput> StartSilentOutput(MixSource source, int mixRate) {
  auto output = std::make_unique<SilentOutput>(std::move(source), mixRate);
  try {
    output->start();
  } catch (const std::system_error&) {
    return nullptr;
  }
  return output;
}
