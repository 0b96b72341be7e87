// The music tests' common ground: the sound system started with the offline
// output (the test renders the mix itself), paths of the test music, and marker
// finding in a rendered mix.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/CFLArchive.h"
#include "media/SoundSystem.h"
#include "platform/fsound/fsoundhost.h"
#include "platform/os/oshost.h"

namespace music_test {

constexpr long kSecond = 44100;
constexpr long kMs = 44;

inline std::string MusicPath(const std::string& name) {
  return std::string(SHOW_SOURCE_DIR) + "/tests/data/music/" + name;
}

inline std::vector<std::int16_t> Render(long frames) {
  std::vector<std::int16_t> mix(static_cast<std::size_t>(frames) * 2);
  EXPECT_TRUE(FSoundHostRender(mix.data(), static_cast<std::size_t>(frames)));
  return mix;
}

// Index of the loudest left sample, and the loudest sample in [first, last).
inline long LoudestFrame(const std::vector<std::int16_t>& mix) {
  long best = -1;
  int peak = -1;
  for (std::size_t i = 0; i < mix.size(); i += 2)
    if (std::abs(mix[i]) > peak) peak = std::abs(mix[i]), best = static_cast<long>(i / 2);
  return best;
}

inline int Peak(const std::vector<std::int16_t>& mix) {
  int peak = 0;
  for (std::int16_t s : mix) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

class OfflineMusic : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    FSoundHostSetOutput(FSoundHostOutput::Offline);
  }
  void TearDown() override {
    CloseSoundSystem();
    FSoundHostSetOutput(FSoundHostOutput::Requested);
    SetProgramArchive(nullptr);
  }
};

}  // namespace music_test
