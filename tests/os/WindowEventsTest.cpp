// What SDL's events become in the message queue of a window with a display:
// the messages a Win32 window would get for the same keys and clicks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/os/oshost.h"
#include "platform/os/windows.h"
#include "support/InjectedEvents.h"

namespace {

LRESULT QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;  // as the player's own: closing is its decision
  return DefWindowProcA(window, message, wParam, lParam);
}

class WindowEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);  // never a real window on the desktop
    OsSetHeadless(false);
    WNDCLASSA cls{};
    cls.lpfnWndProc = QuietProc;
    cls.lpszClassName = "Event test class";
    ASSERT_NE(RegisterClassA(&cls), 0);
    injected::DriverAllocationsIgnored driver;
    window = CreateWindowExA(0, "Event test class", "Demo", WS_SYSMENU | WS_VISIBLE, 0, 0, 320,
                             240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    sdl = OsGetSdlWindow(window);
    ASSERT_NE(sdl, nullptr) << "the window has no SDL window: no events could reach it";
    Drain();  // what showing the window queued
    injected::DropPending();
  }
  void TearDown() override {
    if (window) DestroyWindow(window);
    Drain();
    UnregisterClassA("Event test class", nullptr);
  }

  std::vector<MSG> Drain() {
    std::vector<MSG> got;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (msg.message != WM_PAINT) got.push_back(msg);
    return got;
  }
  // The one message an injected event became.
  MSG Only() {
    std::vector<MSG> got = Drain();
    EXPECT_EQ(got.size(), 1u);
    return got.empty() ? MSG{} : got.front();
  }

  HWND window = nullptr;
  SDL_Window* sdl = nullptr;
};

TEST_F(WindowEvents, EscapeCloseButtonAltF4AndQuitReachTheWindow) {
  ASSERT_TRUE(injected::Key(sdl, SDLK_ESCAPE));
  MSG m = Only();
  EXPECT_EQ(m.hwnd, window);
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_EQ(m.wParam, VK_ESCAPE);

  ASSERT_TRUE(injected::CloseButton(sdl));
  m = Only();
  EXPECT_EQ(m.hwnd, window);
  EXPECT_EQ(m.message, WM_CLOSE);

  for (Uint16 alt : {KMOD_LALT, KMOD_RALT}) {
    ASSERT_TRUE(injected::Key(sdl, SDLK_F4, alt));
    m = Only();
    EXPECT_EQ(m.hwnd, window);
    EXPECT_EQ(m.message, WM_CLOSE) << "Alt+F4 is the system's close";
  }
  ASSERT_TRUE(injected::Key(sdl, SDLK_F4));
  m = Only();
  EXPECT_EQ(m.message, WM_KEYDOWN) << "F4 alone is only a key";
  EXPECT_EQ(m.wParam, VK_F4);

  ASSERT_TRUE(injected::Quit());
  m = Only();
  EXPECT_EQ(m.hwnd, window);
  EXPECT_EQ(m.message, WM_CLOSE);
  EXPECT_TRUE(IsWindow(window)) << "a close request does not destroy a window whose procedure "
                                   "keeps it";
}

TEST_F(WindowEvents, KeysBecomeTheirVirtualKeysAndOthersNothing) {
  const struct {
    SDL_Keycode key;
    WPARAM vk;
  } keys[] = {{SDLK_a, 'A'},         {SDLK_r, 'R'},         {SDLK_z, 'Z'},
              {SDLK_0, '0'},         {SDLK_9, '9'},         {SDLK_SPACE, VK_SPACE},
              {SDLK_RETURN, VK_RETURN}, {SDLK_LEFT, VK_LEFT}, {SDLK_RIGHT, VK_RIGHT},
              {SDLK_UP, VK_UP},      {SDLK_DOWN, VK_DOWN},  {SDLK_PAGEUP, VK_PRIOR},
              {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_HOME, VK_HOME}, {SDLK_END, VK_END},
              {SDLK_F1, VK_F1},      {SDLK_F12, VK_F1 + 11}};
  for (const auto& k : keys) {
    SCOPED_TRACE(SDL_GetKeyName(k.key));
    ASSERT_TRUE(injected::Key(sdl, k.key));
    MSG m = Only();
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, k.vk);
  }
  // Keys the player has no name for send nothing, least of all a letter's code
  // (SDL's arrow and keypad codes end in the bytes of 'R', 'Q', 'P' ...).
  for (SDL_Keycode key : {SDLK_CAPSLOCK, SDLK_KP_PLUS, SDLK_LSHIFT, SDLK_PRINTSCREEN}) {
    SCOPED_TRACE(SDL_GetKeyName(key));
    ASSERT_TRUE(injected::Key(sdl, key));
    EXPECT_TRUE(Drain().empty());
  }
}

TEST_F(WindowEvents, ExposureAsksForAPaint) {
  ASSERT_TRUE(injected::WindowEvent(sdl, SDL_WINDOWEVENT_EXPOSED));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  EXPECT_EQ(msg.hwnd, window);
}

}  // namespace
