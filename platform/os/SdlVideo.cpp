#include "platform/os/SdlVideo.h"

#include <SDL2/SDL.h>

#include "platform/os/oshost.h"

namespace {
bool headless = false;
enum class VideoState { NotTried, Running, Failed };
VideoState videoState = VideoState::NotTried;
}  // namespace

void OsSetHeadless(bool value) { headless = value; }
bool OsIsHeadless() { return headless; }

namespace os_internal {

bool EnsureSdlVideo() {
  if (headless) return false;
  if (videoState == VideoState::NotTried) {
    videoState = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0 ? VideoState::Running
                                                                          : VideoState::Failed;
  }
  return videoState == VideoState::Running;
}

}  // namespace os_internal
