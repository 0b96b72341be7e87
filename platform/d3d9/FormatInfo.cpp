#include "platform/d3d9/FormatInfo.h"

namespace {

constexpr GLint kIdentity[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};

const FormatInfo kColorFormats[] = {
    {D3DFMT_A8R8G8B8, 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
     {kIdentity[0], kIdentity[1], kIdentity[2], kIdentity[3]}, true, true, false, false},
    {D3DFMT_X8R8G8B8, 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}, false, true, false, false},
    {D3DFMT_L8, 1, GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_ONE}, false,
     false, false, false},
    // A8L8 is a little-endian word: luminance in the low byte, alpha in the high byte.
    {D3DFMT_A8L8, 2, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_GREEN}, true,
     false, false, false},
    {D3DFMT_A8, 1, GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}, true,
     false, false, false},
};

const FormatInfo kDepthFormats[] = {
    {D3DFMT_D24S8, 4, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false, false, true, true},
    {D3DFMT_D24X8, 4, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false, false, true, false},
    {D3DFMT_D16, 2, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false, false, true, false},
};

}  // namespace

const FormatInfo* FindColorFormat(D3DFORMAT format) {
  for (const FormatInfo& info : kColorFormats)
    if (info.format == format) return &info;
  return nullptr;
}

const FormatInfo* FindDepthFormat(D3DFORMAT format) {
  for (const FormatInfo& info : kDepthFormats)
    if (info.format == format) return &info;
  return nullptr;
}

UINT LockPitch(const FormatInfo& info, UINT width) {
  return (width * info.bytesPerPixel + 3u) & ~3u;
}
