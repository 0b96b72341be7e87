#include "platform/d3d9/GlContext.h"

#include <SDL.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {
GlContext* currentContext = nullptr;
}

std::unique_ptr<GlContext> GlContext::Create(SDL_Window* window, bool debug,
                                             std::string* error) {
#if defined(__SANITIZE_ADDRESS__)
  // LeakSanitizer's exit-time scan crashes on llvmpipe's pool of rasterizer threads;
  // one rasterizer thread is enough for the small targets of sanitized test runs.
  setenv("LP_NUM_THREADS", "1", 0);
#endif
  std::unique_ptr<GlContext> context(new GlContext);
  bool made = window ? context->CreateOnWindow(window, debug, error)
                     : context->CreateHeadless(debug, error);
  if (!made) return nullptr;
  context->MakeCurrent();
  if (epoxy_gl_version() < 33) {
    *error = "OpenGL 3.3 is not available";
    return nullptr;
  }
  return context;
}

bool GlContext::CreateHeadless(bool debug, std::string* error) {
  // The surfaceless platform needs neither a display server nor a GPU device.
  EGLDisplay display =
      eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) {
    *error = "no EGL surfaceless display";
    return false;
  }
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) {
    *error = "eglInitialize failed";
    return false;
  }
  eglDisplay_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    *error = "EGL has no desktop OpenGL";
    return false;
  }
  // The debug attribute only when asked: an older EGL refuses attributes it does not know.
  const EGLint debugAttributes[] = {EGL_CONTEXT_OPENGL_DEBUG, EGL_TRUE, EGL_NONE};
  EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                         3,
                         EGL_CONTEXT_MINOR_VERSION,
                         3,
                         EGL_CONTEXT_OPENGL_PROFILE_MASK,
                         EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                         EGL_NONE,
                         EGL_NONE,
                         EGL_NONE};
  EGLContext context = EGL_NO_CONTEXT;
  if (debug) {
    std::copy(std::begin(debugAttributes), std::end(debugAttributes), attributes + 6);
    context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    attributes[6] = EGL_NONE;
  }
  if (context == EGL_NO_CONTEXT)
    context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  if (context == EGL_NO_CONTEXT) {
    *error = "eglCreateContext failed for OpenGL 3.3 core";
    return false;
  }
  eglContext_ = context;
  return true;
}

bool GlContext::CreateOnWindow(SDL_Window* window, bool debug, std::string* error) {
  // Keeps the GL library loaded for the life of the process rather than reloading the
  // driver each time the last OpenGL window closes.
  static const bool libraryLoaded = SDL_GL_LoadLibrary(nullptr) == 0;
  (void)libraryLoaded;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, debug ? SDL_GL_CONTEXT_DEBUG_FLAG : 0);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context && debug) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    context = SDL_GL_CreateContext(window);
  }
  if (!context) {
    *error = std::string("SDL_GL_CreateContext failed: ") + SDL_GetError();
    return false;
  }
  window_ = window;
  sdlContext_ = context;
  return true;
}

GlContext::~GlContext() {
  if (currentContext == this) currentContext = nullptr;
  if (sdlContext_) {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(sdlContext_));
  }
  if (eglContext_) {
    eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(eglDisplay_, eglContext_);
  }
  // The EGL display stays initialised: other devices may use it, and terminating it
  // would unload the driver each time.
}

void GlContext::MakeCurrent() {
  if (currentContext == this) return;
  if (sdlContext_)
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(sdlContext_));
  else
    eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, eglContext_);
  currentContext = this;
}

void GlContext::DrawableSize(int* width, int* height) const {
  *width = 0;
  *height = 0;
  if (window_) SDL_GL_GetDrawableSize(window_, width, height);
}

void GlContext::SwapWindow(bool vsync) {
  if (!window_) return;
  int interval = vsync ? 1 : 0;
  if (interval != swapInterval_) {
    SDL_GL_SetSwapInterval(interval);
    swapInterval_ = interval;
  }
  SDL_GL_SwapWindow(window_);
}
