#include "platform/os/BitmapFont.h"

#include <algorithm>
#include <iterator>

#include "platform/os/Utf8.h"

namespace os_internal {

namespace {

struct Glyph {
  char32_t codePoint;
  unsigned char rows[kGlyphHeight];
};

// Sorted by code point.
constexpr Glyph kGlyphs[] = {
#include "platform/os/BitmapFontGlyphs.inc"
};

const Glyph* Find(char32_t codePoint) {
  const Glyph* end = std::end(kGlyphs);
  const Glyph* at = std::lower_bound(std::begin(kGlyphs), end, codePoint,
                                     [](const Glyph& g, char32_t cp) { return g.codePoint < cp; });
  return at != end && at->codePoint == codePoint ? at : nullptr;
}

}  // namespace

const unsigned char* GlyphRows(char32_t codePoint) {
  const Glyph* glyph = Find(codePoint);
  return glyph ? glyph->rows : Find(U'?')->rows;
}

bool FontHasGlyph(char32_t codePoint) { return Find(codePoint) != nullptr; }

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t n = Utf8Sequence(text, i, &cp);
    out += n ? cp : static_cast<char32_t>(static_cast<unsigned char>(text[i]));
    i += n ? n : 1;
  }
  return out;
}

}  // namespace os_internal
