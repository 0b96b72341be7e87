// OpenGL error checks (the GL_CHECK switch): the driver's KHR_debug output, synchronous,
// filtered to errors and undefined behaviour, each handed to the host seams' error handler
// with the driver's text. Entry thread only, with the context current.
#pragma once

// Turns the checks on for the current context; false when the driver has no debug output.
bool InstallGlErrorChecks();
// Raises an application error through the same route, to check the route end to end.
void RaiseGlTestError(const char* text);
