// The shell's window on a display (SDL's offscreen driver): the keys and clicks
// a user ends a show with go through the message queue to the window procedure,
// which ends the show and nothing else.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "app/Shell.h"
#include "platform/os/oshost.h"
#include "support/InjectedEvents.h"

namespace {

class ShellWindowEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    OsSetHeadless(false);
    {
      injected::DriverAllocationsIgnored driver;
      program.CreateMainWindow();
    }
    ASSERT_NE(program.mainWindow, nullptr);
    sdl = OsGetSdlWindow(program.mainWindow);
    ASSERT_NE(sdl, nullptr) << "the shell's window has no SDL window";
    Dispatch();
    injected::DropPending();
  }
  void TearDown() override { program.DestroyMainWindow(); }
  // As the frame loop does, until nothing is left.
  static void Dispatch() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // Whether the event ends the show; the window stays until shutdown destroys it.
  bool Ends(const std::function<bool()>& inject) {
    program.quitRequested = false;
    EXPECT_TRUE(inject());
    Dispatch();
    EXPECT_TRUE(IsWindow(program.mainWindow));
    return program.quitRequested;
  }

  Shell program;
  SDL_Window* sdl = nullptr;
};

TEST_F(ShellWindowEvents, EscapeCloseButtonAndAltF4EndTheShow) {
  EXPECT_TRUE(Ends([&] { return injected::Key(sdl, SDLK_ESCAPE); })) << "Escape";
  EXPECT_TRUE(Ends([&] { return injected::CloseButton(sdl); })) << "close button";
  EXPECT_TRUE(Ends([&] { return injected::Key(sdl, SDLK_F4, KMOD_LALT); })) << "Alt+F4";
  EXPECT_TRUE(Ends([&] { return injected::Quit(); })) << "the session asks to quit";
}

TEST_F(ShellWindowEvents, OtherKeysLeaveTheShowRunning) {
  for (SDL_Keycode key : {SDLK_a, SDLK_q, SDLK_F4, SDLK_UP, SDLK_DOWN, SDLK_RETURN, SDLK_KP_ENTER}) {
    SCOPED_TRACE(SDL_GetKeyName(key));
    EXPECT_FALSE(Ends([&] { return injected::Key(sdl, key); }));
  }
}

}  // namespace
