// The music tests' fixture: the sound system's offline output is chosen, so the
// test renders the mix itself and no time has to pass.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "archive/CFLArchive.h"
#include "media/SoundSystem.h"
#include "platform/fsound/fsoundhost.h"
#include "platform/os/oshost.h"
#include "support/SoundTestSupport.h"

namespace music_test {

using namespace sound_test;

inline std::vector<std::int16_t> Render(long frames) {
  std::vector<std::int16_t> mix(static_cast<std::size_t>(frames) * 2);
  EXPECT_TRUE(FSoundHostRender(mix.data(), static_cast<std::size_t>(frames)));
  return mix;
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
