// Direct3D 9 enumerations to OpenGL, one small function per enumeration. Callers pass
// only values the state checks (StateRules) or the draw checks have accepted: any other
// value is a fault of the layer and asserts in Debug and sanitizer builds (Release falls
// back to the Direct3D default). Pure functions, no OpenGL calls.
#pragma once

#include <epoxy/gl.h>

#include <array>

#include "platform/d3d9/d3d9types.h"

GLenum ToGlPrimitive(D3DPRIMITIVETYPE type);
GLenum ToGlCompare(DWORD func);  // D3DCMP
GLenum ToGlStencilOp(DWORD op);  // D3DSTENCILOP
GLenum ToGlBlendEquation(DWORD op);  // D3DBLENDOP
// D3DBLEND; destinationAlpha: the target stores alpha. Without it Direct3D reads
// destination alpha as 1.
GLenum ToGlBlendFactor(DWORD blend, bool destinationAlpha);
// A source and destination D3DBLEND pair: BOTHSRCALPHA and BOTHINVSRCALPHA as the
// source set both factors.
std::array<GLenum, 2> ToGlBlendPair(DWORD source, DWORD destination, bool destinationAlpha);
GLenum ToGlCullFace(DWORD cull);  // D3DCULL other than NONE
GLenum ToGlPolygonMode(DWORD fill);  // D3DFILLMODE
GLint ToGlAddress(DWORD mode);  // D3DTEXTUREADDRESS
GLint ToGlMagFilter(DWORD filter);  // D3DTEXTUREFILTERTYPE
GLint ToGlMinFilter(DWORD minFilter, DWORD mipFilter);
GLenum ToGlIndexType(D3DFORMAT format);  // D3DFMT_INDEX16 or D3DFMT_INDEX32
// 0xAARRGGBB as r, g, b, a in 0..1.
std::array<GLfloat, 4> ToGlColor(D3DCOLOR color);
