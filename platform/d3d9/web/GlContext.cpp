// The WebGL2 context of the page's canvas, made through SDL's window on it. A page has
// no headless drawing: without a window there is no context.
#include "platform/d3d9/GlContext.h"

#include <SDL.h>
#include <epoxy/gl.h>

namespace {
GlContext* currentContext = nullptr;
}  // namespace

std::unique_ptr<GlContext> GlContext::Create(SDL_Window* window, bool debug,
                                             std::string* error) {
  std::unique_ptr<GlContext> context(new GlContext);
  if (!window) {
    *error = "a page draws only on its canvas";
    return nullptr;
  }
  if (!context->CreateOnWindow(window, debug, error)) return nullptr;
  context->MakeCurrent();
  return context;
}

bool GlContext::CreateHeadless(bool, std::string* error) {
  *error = "a page draws only on its canvas";
  return false;
}

bool GlContext::CreateOnWindow(SDL_Window* window, bool, std::string* error) {
  // OpenGL ES 3.0 is WebGL2; the back buffer is the layer's own, so the canvas needs
  // neither depth nor antialiasing.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("no WebGL2 context: ") + SDL_GetError();
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
}

void GlContext::MakeCurrent() {
  if (currentContext == this) return;
  SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(sdlContext_));
  currentContext = this;
}

void GlContext::DrawableSize(int* width, int* height) const {
  SDL_GL_GetDrawableSize(window_, width, height);
}

// The browser shows the canvas when the frame's step returns to it.
void GlContext::SwapWindow(bool) { SDL_GL_SwapWindow(window_); }
