#include "platform/d3d9/GlDebug.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/d3d9/HostSeams.h"

namespace {

void GLAPIENTRY OnDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               GLsizei length, const GLchar* message, const void*) {
  (void)source;
  (void)severity;
  std::string text(message, length >= 0 ? static_cast<std::size_t>(length) : std::strlen(message));
  char detail[48];
  std::snprintf(detail, sizeof detail, " (type 0x%x, id %u)", type, id);
  d3d9_internal::ReportGlError(text + detail);
}

}  // namespace

bool InstallGlErrorChecks() {
  if (!epoxy_has_gl_extension("GL_KHR_debug") && epoxy_gl_version() < 43) return false;
  glEnable(GL_DEBUG_OUTPUT);
  // In the call that caused it, so that a debugger stops there.
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glDebugMessageCallback(OnDebugMessage, nullptr);
  glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_FALSE);
  glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
  glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR, GL_DONT_CARE, 0, nullptr,
                        GL_TRUE);
  return true;
}

void RaiseGlTestError(const char* text) {
  glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_ERROR, 1,
                       GL_DEBUG_SEVERITY_HIGH, -1, text);
}
