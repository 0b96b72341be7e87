// Internal to platform/os: the built-in 8x16 bitmap font of the message boxes
// the player draws itself, where the desktop offers no fonts of its own.
#pragma once

#include <string>

namespace os_internal {

constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 16;

// Sixteen rows of eight pixels, the leftmost in the top bit. Code points the
// font lacks get the question mark's glyph.
const unsigned char* GlyphRows(char32_t codePoint);
bool FontHasGlyph(char32_t codePoint);

// Code points of UTF-8 text; a byte that starts no valid sequence stands for
// itself (U+0080..U+00FF), so nothing is ever dropped.
std::u32string DecodeUtf8(const std::string& text);

}  // namespace os_internal
