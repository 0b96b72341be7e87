// One OpenGL 3.3 core context for one device: on an SDL window when there is one,
// otherwise headless on EGL's surfaceless platform (Mesa llvmpipe), which has no
// default framebuffer at all. Does not draw; the device owns every GL object.
// Entry thread only; MakeCurrent switches between the contexts of several devices.
#pragma once

#include <memory>
#include <string>

struct SDL_Window;

class GlContext {
 public:
  // window: the SDL window to present into, or null for a headless context. debug: ask
  // for a debug context (full error reporting). Null result: creation failed, with the
  // reason in *error.
  static std::unique_ptr<GlContext> Create(SDL_Window* window, bool debug, std::string* error);
  ~GlContext();

  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  void MakeCurrent();
  bool HasWindow() const { return window_ != nullptr; }
  // Size of the window's drawable in pixels; 0×0 when headless.
  void DrawableSize(int* width, int* height) const;
  // Shows the window's back buffer (no-op when headless). vsync: wait for the display.
  void SwapWindow(bool vsync);

 private:
  GlContext() = default;
  bool CreateHeadless(bool debug, std::string* error);
  bool CreateOnWindow(SDL_Window* window, bool debug, std::string* error);

  SDL_Window* window_ = nullptr;
  void* sdlContext_ = nullptr;  // SDL_GLContext
  void* eglDisplay_ = nullptr;  // EGLDisplay
  void* eglContext_ = nullptr;  // EGLContext
  int swapInterval_ = -2;       // last interval set on the window; -2: none yet
};
