// Pause, seek and reload driven by key messages through the window seam, on a
// virtual counter so the times are exact.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/Shell.h"
#include "platform/os/oshost.h"
#include "support/TempDir.h"

namespace {

class LiveControls : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    saved_ = getcwd(cwd, sizeof cwd) ? cwd : ".";
    OsSetHeadless(true);
    show_.write("demo.psc",
                "createcolor 255 0 0 red\nwaituntil 1000\nsetlayer red 0\nsetlayerpos 0 0 0\n"
                "setlayerposdelta 0 100 0\nwaituntil 60000\n");
    ASSERT_EQ(chdir(show_.path().c_str()), 0);
    OsUseVirtualCounter(1000);  // a tick a millisecond
    program.frameStep = FrameRate{10, 1};
    program.liveControls = true;
    program.instance = GetModuleHandleA(nullptr);
    program.CreateMainWindow();
    program.InitDirect3D();
    program.StartScript();
  }
  void TearDown() override {
    program.Finish();
    ASSERT_EQ(chdir(saved_.c_str()), 0);
  }
  // One frame of the loop after `ms` of the counter, with `key` pressed first.
  void Frame(int ms, WPARAM key = 0) {
    OsAdvanceVirtualCounter(ms);
    if (key) OsQueueMessage(program.mainWindow, WM_KEYDOWN, key, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    ASSERT_FALSE(program.scripter->update());
  }
  Layer* LayerAt(int n) {
    auto it = program.scripter->layers.find(n);
    return it == program.scripter->layers.end() ? nullptr : &it->second;
  }

  Shell program;
  TempDir show_;
  std::string saved_;
};

TEST_F(LiveControls, SpacePausesAndTheArrowsSeekOnTheVirtualClock) {
  Frame(500);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 500);
  EXPECT_EQ(LayerAt(0), nullptr);
  Frame(0, VK_SPACE);
  Frame(2000);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 500) << "paused";
  Frame(0, VK_RIGHT);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 5500);
  ASSERT_NE(LayerAt(0), nullptr);
  // The move started in the stepped frame at 1100 ms: 100 units a second since.
  EXPECT_NEAR(LayerAt(0)->x, (5500 - 1100) * 0.1, 0.01);
  Frame(0, VK_SPACE);
  Frame(250);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 5750) << "running again";
  const Scripter* before = program.scripter.get();
  Frame(0, VK_LEFT);
  EXPECT_NE(program.scripter.get(), before) << "going back replays from the start";
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 750);
  EXPECT_EQ(LayerAt(0), nullptr);
  Frame(0, VK_NEXT);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 30750);
  Frame(0, VK_HOME);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 0);
  Frame(0, 'Q');  // not a control key
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 0);
  EXPECT_FALSE(program.quitRequested);
}

TEST_F(LiveControls, RRereadsTheScriptAndAFailedReloadKeepsTheShow) {
  Frame(1500);
  ASSERT_NE(LayerAt(0), nullptr);
  show_.write("demo.psc", "createcolor 0 0 255 blue\nsetlayer blue 3\nwaituntil 60000\n");
  Frame(0, 'R');
  EXPECT_EQ(LayerAt(0), nullptr);
  ASSERT_NE(LayerAt(3), nullptr);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 1500) << "back at the same time";
  const Scripter* kept = program.scripter.get();
  show_.write("demo.psc", "loadimage missing.png gone\nwaituntil 60000\n");
  testing::internal::CaptureStderr();
  Frame(100, 'R');
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("reload failed"), std::string::npos) << said;
  EXPECT_NE(said.find("missing.png"), std::string::npos) << said;
  EXPECT_EQ(program.scripter.get(), kept);
  EXPECT_NE(LayerAt(3), nullptr);
  EXPECT_FLOAT_EQ(program.scripter->scriptTime(), 1600);
  EXPECT_FALSE(OsExitHandlerSet());
}

}  // namespace
