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

}  // namespace

std::span<const FormatInfo> ColorFormatTable() { return kColorFormats; }
