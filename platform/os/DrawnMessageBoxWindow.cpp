// The drawn message box on the display: a plain window with a software surface
// (no OpenGL), modal in that nothing else runs until it is answered.
#include <SDL2/SDL.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/os/DrawnMessageBox.h"
#include "platform/os/SdlVideo.h"
#include "platform/os/oshost.h"

namespace os_internal {

namespace {

bool DriverShowsNothing() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
         std::strcmp(driver, "dummy") == 0;
}

struct WindowCloser {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct SurfaceFreer {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

std::optional<int> OnKeyDown(DrawnMessageBox& box, const SDL_Keysym& key) {
  const bool shift = (key.mod & KMOD_SHIFT) != 0;
  switch (key.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return box.OnKey(BoxKey::Return);
    case SDLK_SPACE:
      return box.OnKey(BoxKey::Space);
    case SDLK_ESCAPE:
      return box.OnKey(BoxKey::Escape);
    case SDLK_TAB:
      return box.OnKey(shift ? BoxKey::ShiftTab : BoxKey::Tab);
    case SDLK_LEFT:
      return box.OnKey(BoxKey::Left);
    case SDLK_RIGHT:
      return box.OnKey(BoxKey::Right);
    case SDLK_F4:
      if (key.mod & KMOD_ALT) return box.Close();
      return std::nullopt;
    default:
      if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return box.OnLetter(static_cast<char32_t>(key.sym));
      return std::nullopt;
  }
}

// On Wayland, SDL (2.26, with libdecor) may still dispatch events to the box's
// destroyed window and crash. When the box was the first to start the video
// subsystem (the start-up question comes before any other window), it is
// stopped again, so the show's window starts on a fresh connection. Only there:
// SDL's X11 driver does not start a second time in one process.
class VideoForBox {
 public:
  VideoForBox() : startedHere_(!SdlVideoRunning()) {}
  ~VideoForBox() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (startedHere_ && driver && std::strcmp(driver, "wayland") == 0) StopSdlVideo();
  }
  VideoForBox(const VideoForBox&) = delete;
  VideoForBox& operator=(const VideoForBox&) = delete;

 private:
  bool startedHere_;
};

}  // namespace

int ShowDrawnMessageBox(const std::string& caption, DrawnMessageBox& box, bool invisibleAllowed) {
  VideoForBox video;
  if (!EnsureSdlVideo() || (DriverShowsNothing() && !invisibleAllowed)) return 0;
  std::unique_ptr<SDL_Window, WindowCloser> window(
      SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, box.Width(),
                       box.Height(), SDL_WINDOW_SHOWN | SDL_WINDOW_ALWAYS_ON_TOP));
  if (!window) return 0;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(box.Width()) * box.Height());
  std::unique_ptr<SDL_Surface, SurfaceFreer> image(SDL_CreateRGBSurfaceWithFormatFrom(
      pixels.data(), box.Width(), box.Height(), 32, box.Width() * 4, SDL_PIXELFORMAT_ARGB8888));
  if (!image) return 0;
  SDL_RaiseWindow(window.get());

  const auto present = [&] {
    box.Paint(pixels.data(), box.Width());
    // The surface may be replaced when the window changes, so it is asked for each time.
    SDL_Surface* surface = SDL_GetWindowSurface(window.get());
    if (surface == nullptr) return false;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xF0, 0xF0, 0xF0));
    return SDL_BlitSurface(image.get(), nullptr, surface, nullptr) == 0 &&
           SDL_UpdateWindowSurface(window.get()) == 0;
  };

  std::optional<int> answer;
  bool dirty = true;
  while (!answer) {
    if (dirty && !present()) return 0;
    dirty = false;
    if (OsStopSignalled()) {
      answer = box.Close();
      break;
    }
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, 100)) continue;
    switch (e.type) {
      case SDL_QUIT:
        answer = box.Close();
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) answer = box.Close();
        dirty = true;
        break;
      case SDL_KEYDOWN:
        answer = OnKeyDown(box, e.key.keysym);
        dirty = true;
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT) answer = box.OnMouseDown(e.button.x, e.button.y);
        dirty = true;
        break;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT) answer = box.OnMouseUp(e.button.x, e.button.y);
        dirty = true;
        break;
      default:
        break;
    }
  }
  window.reset();
  // What the box leaves behind (its close request, the key releases) is not
  // for the show's window.
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  return *answer;
}

}  // namespace os_internal
