#include "platform/os/Utf8.h"

namespace os_internal {

std::size_t Utf8Sequence(const std::string& text, std::size_t at, char32_t* codePoint) {
  if (at >= text.size()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned c = byte(at);
  if (c < 0x80) {
    *codePoint = c;
    return 1;
  }
  const std::size_t more = (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 0;
  if (more == 0 || at + more >= text.size()) return 0;
  char32_t cp = c & (more == 1 ? 0x1F : more == 2 ? 0x0F : 0x07);
  for (std::size_t k = 1; k <= more; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(at + k) & 0x3F);
  }
  const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < minimum[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  *codePoint = cp;
  return more + 1;
}

}  // namespace os_internal
