// Pieces shared by the D3DX picture functions: filter arguments, the format reported
// for a picture, filling D3DXIMAGE_INFO, and the standard-error line for values
// outside the supported subset. Internal to platform/d3dx.
#pragma once

#include "platform/d3dx/Picture.h"
#include "platform/d3dx/d3dx9tex.h"

namespace d3dx {

// Checks a D3DX filter argument; D3DX_DEFAULT becomes `defaultType`. On success
// *type is the filter type (D3DX_FILTER_NONE .. D3DX_FILTER_BOX); flags are accepted
// and have no effect.
bool ResolveFilter(DWORD filter, DWORD defaultType, DWORD* type);

D3DFORMAT ReportedFormat(PictureLayout layout);
void FillImageInfo(const PictureHeader& header, D3DXIMAGE_INFO* info);

// "<function>: <what>" on standard error; returns D3DERR_INVALIDCALL.
HRESULT ReportUnsupported(const char* function, const char* what);

}  // namespace d3dx
