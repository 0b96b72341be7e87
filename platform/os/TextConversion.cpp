// ANSI to UTF-16. The ANSI code page of this platform is UTF-8; bytes that are
// not valid UTF-8 are taken as Latin-1 so no input is lost.
#include <string>

#include "platform/os/windows.h"

namespace {

std::u16string Decode(const unsigned char* s, std::size_t n) {
  std::u16string out;
  out.reserve(n);
  std::size_t i = 0;
  while (i < n) {
    unsigned c = s[i];
    unsigned need = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    char32_t cp = need == 0 ? c : need == 1 ? (c & 0x1F) : need == 2 ? (c & 0x0F) : (c & 0x07);
    bool valid = need <= 3 && i + need < n;
    if (valid && need > 0) {
      for (unsigned k = 1; valid && k <= need; ++k) {
        unsigned t = s[i + k];
        if ((t & 0xC0) != 0x80) valid = false;
        cp = (cp << 6) | (t & 0x3F);
      }
      const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
      if (valid && (cp < minimum[need] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
        valid = false;
    }
    if (!valid) {
      out.push_back(static_cast<char16_t>(c));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += need + 1;
  }
  return out;
}

}  // namespace

int MultiByteToWideChar(UINT, DWORD, LPCSTR multiByte, int multiByteLength, WCHAR* wide,
                        int wideLength) {
  if (multiByte == nullptr || multiByteLength == 0 || wideLength < 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(multiByte);
  // -1: the string is zero-terminated and the terminator is converted too.
  std::size_t n = multiByteLength < 0 ? std::char_traits<char>::length(multiByte) + 1
                                      : static_cast<std::size_t>(multiByteLength);
  std::u16string converted = Decode(bytes, n);
  if (wideLength == 0) return static_cast<int>(converted.size());
  if (converted.size() > static_cast<std::size_t>(wideLength)) return 0;
  converted.copy(wide, converted.size());
  return static_cast<int>(converted.size());
}
