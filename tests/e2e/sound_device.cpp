// A live run on a machine without a sound card: the sound libraries' own
// complaints stay off the terminal and the player says once what that means.
#include <gtest/gtest.h>

#include <string>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SoundDevice, WithoutACardOneLineSaysTheMusicPlaysSilently) {
  TempDir show;
  show.write("demo.psc", "waituntil 300\n");
  // ALSA, as SDL chooses it where no sound server runs; a restart by the loop
  // starts the show again without a second word.
  ProcessResult r = RunProcess(SHOW_DEMO_EXE,
                               {"--headless", "--loop", "--seconds", "0.8", "--data", show.path()},
                               "", {"SDL_AUDIODRIVER=alsa"});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const std::string line = "demo: no sound device could be opened; the music plays silently, in time\n";
  if (Count(r.output, line) == 0 && r.output.find("ALSA lib") == std::string::npos)
    GTEST_SKIP() << "this machine has a sound device:\n" << r.output;
  EXPECT_EQ(r.output, line);
}

}  // namespace
