// How each Direct3D 9 pixel format the layer supports is held in OpenGL: bytes per
// pixel in locked memory, the GL internal format, the upload format and type, and the
// swizzle that makes sampling read what Direct3D would (X8 alpha = 1, L8 = (L,L,L,1)).
// Formats not listed here are refused by the resource creators.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d9/d3d9types.h"

struct FormatInfo {
  D3DFORMAT format;
  UINT bytesPerPixel;
  GLenum internalFormat;
  GLenum uploadFormat;  // for glTexImage2D/glReadPixels
  GLenum uploadType;
  GLint swizzle[4];     // GL_TEXTURE_SWIZZLE_R/G/B/A
  bool hasAlpha;        // blending may read destination alpha
  bool renderable;      // may be a render target
  bool depth;
  bool stencil;
};

// Colour formats usable for textures and surfaces; null when unsupported.
const FormatInfo* FindColorFormat(D3DFORMAT format);

// Depth-stencil formats (D24S8, D24X8, D16); null when unsupported.
const FormatInfo* FindDepthFormat(D3DFORMAT format);

// Bytes between rows of a locked level: width × bytes per pixel, rounded up to 4.
UINT LockPitch(const FormatInfo& info, UINT width);
