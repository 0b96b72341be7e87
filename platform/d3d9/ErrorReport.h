// Reports a call the layer cannot honour: one line on standard error, prefixed "d3d9: ",
// and the D3DERR_INVALIDCALL result to hand back to the caller. Any thread.
#pragma once

#include "platform/d3d9/d3d9types.h"

HRESULT ReportInvalidCall(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Same line, with a result other than D3DERR_INVALIDCALL.
HRESULT ReportError(HRESULT result, const char* format, ...) __attribute__((format(printf, 2, 3)));
