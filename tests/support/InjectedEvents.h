// SDL events put on SDL's queue as the window system would deliver them, for
// tests of what a key press or a click on the close button becomes. The window
// must be a real SDL window (SDL's offscreen driver is enough).
#pragma once

#include <SDL2/SDL.h>

#if defined(__SANITIZE_ADDRESS__)
#define SHOW_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SHOW_LEAK_CHECKED 1
#endif
#endif
#ifdef SHOW_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace injected {

// The GL driver SDL loads for a window's first context keeps allocations of its
// own past exit; they are not ours to free. Wrap window creation in one.
struct DriverAllocationsIgnored {
#ifdef SHOW_LEAK_CHECKED
  DriverAllocationsIgnored() { __lsan_disable(); }
  ~DriverAllocationsIgnored() { __lsan_enable(); }
#else
  DriverAllocationsIgnored() {}
  ~DriverAllocationsIgnored() {}
#endif
  DriverAllocationsIgnored(const DriverAllocationsIgnored&) = delete;
  DriverAllocationsIgnored& operator=(const DriverAllocationsIgnored&) = delete;
};

inline bool Key(SDL_Window* window, SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.windowID = SDL_GetWindowID(window);
  e.key.state = SDL_PRESSED;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  e.key.keysym.mod = modifiers;
  return SDL_PushEvent(&e) == 1;
}

inline bool WindowEvent(SDL_Window* window, SDL_WindowEventID event, int data1 = 0,
                        int data2 = 0) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = SDL_GetWindowID(window);
  e.window.event = static_cast<Uint8>(event);
  e.window.data1 = data1;
  e.window.data2 = data2;
  return SDL_PushEvent(&e) == 1;
}

inline bool CloseButton(SDL_Window* window) { return WindowEvent(window, SDL_WINDOWEVENT_CLOSE); }

// What SDL sends when the last window is asked to close or the session ends.
inline bool Quit() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  return SDL_PushEvent(&e) == 1;
}

// SDL's own queue emptied, for a test that wants only the events it injects.
inline void DropPending() {
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace injected
