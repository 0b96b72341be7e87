// How each Direct3D 9 pixel format the layer supports is held in OpenGL: bytes per
// pixel in locked memory, the GL internal format, the upload format and type, and the
// swizzle that makes sampling read what Direct3D would (X8 alpha = 1, L8 = (L,L,L,1)).
// Formats not listed here are refused by the resource creators. The tables are the GL
// flavour's (desktop/ or web/FormatTable.cpp): WebGL2 has neither swizzles nor BGRA
// data, so there every colour format is held as RGBA bytes, converted on the way.
#pragma once

#include <epoxy/gl.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

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
  // Converts pixels of locked memory to the bytes uploaded; null when the upload format
  // takes locked memory as it stands. For a renderable format it also turns what
  // glReadPixels returns back into locked memory (`from` may equal `to`).
  void (*toGl)(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) = nullptr;
  UINT glBytesPerPixel = 0;  // of the converted bytes
};

std::span<const FormatInfo> ColorFormatTable();
std::span<const FormatInfo> DepthFormatTable();

// Colour formats usable for textures and surfaces; null when unsupported.
const FormatInfo* FindColorFormat(D3DFORMAT format);

// Depth-stencil formats (D24S8, D24X8, D16); null when unsupported.
const FormatInfo* FindDepthFormat(D3DFORMAT format);

// Bytes between rows of a locked level: width × bytes per pixel, rounded up to 4.
UINT LockPitch(const FormatInfo& info, UINT width);

// What to hand glTex(Sub)Image2D for `height` rows of `width` pixels of locked memory
// `pitch` bytes apart: the memory itself, or its conversion, packed, in *scratch.
struct GlUpload {
  const void* data;
  GLint rowLength;  // for GL_UNPACK_ROW_LENGTH
};
GlUpload PrepareUpload(const FormatInfo& info, const std::uint8_t* data, UINT pitch, UINT width,
                       UINT height, std::vector<std::uint8_t>* scratch);
// Turns rows read back with glReadPixels (at `pitch`) into locked memory, in place.
void FinishReadback(const FormatInfo& info, std::uint8_t* data, UINT pitch, UINT width,
                    UINT height);
