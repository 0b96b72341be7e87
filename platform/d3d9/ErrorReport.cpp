#include "platform/d3d9/ErrorReport.h"

#include <cstdarg>
#include <cstdio>

namespace {
void WriteLine(const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  std::fprintf(stderr, "d3d9: %s\n", text);
}
}  // namespace

HRESULT ReportInvalidCall(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLine(format, args);
  va_end(args);
  return D3DERR_INVALIDCALL;
}

HRESULT ReportError(HRESULT result, const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLine(format, args);
  va_end(args);
  return result;
}
