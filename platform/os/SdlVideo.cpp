#include "platform/os/SdlVideo.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/oshost.h"

namespace {
bool headless = false;
enum class VideoState { NotTried, Running, Failed };
VideoState videoState = VideoState::NotTried;
}  // namespace

void OsSetHeadless(bool value) { headless = value; }
bool OsIsHeadless() { return headless; }

namespace os_internal {

namespace {

// SDL falls back to drivers that show nothing when no display is there; a run
// that asked for a window must not play unseen. Asked for by name, they are fine.
bool InvisibleDriver(const char* driver) {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen && *chosen) return false;
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

VideoState StartVideo() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "demo: no display could be opened: %s\n", SDL_GetError());
    return VideoState::Failed;
  }
  if (InvisibleDriver(SDL_GetCurrentVideoDriver())) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    std::fprintf(stderr,
                 "demo: no display: no X11 or Wayland display could be opened (DISPLAY and "
                 "WAYLAND_DISPLAY); use --headless to play without one\n");
    return VideoState::Failed;
  }
  return VideoState::Running;
}

}  // namespace

bool EnsureSdlVideo() {
  if (headless) return false;
  if (videoState == VideoState::NotTried) videoState = StartVideo();
  return videoState == VideoState::Running;
}

bool SdlVideoRunning() { return videoState == VideoState::Running; }

void StopSdlVideo() {
  if (videoState != VideoState::Running) return;
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  videoState = VideoState::NotTried;
}

}  // namespace os_internal
