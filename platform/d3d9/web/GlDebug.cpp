// WebGL2 has no debug output: the checks are reported as unavailable, and the browser's
// console names each WebGL error.
#include "platform/d3d9/GlDebug.h"

#include "platform/d3d9/HostSeams.h"

bool InstallGlErrorChecks() { return false; }

void RaiseGlTestError(const char* text) { d3d9_internal::ReportGlError(text); }
