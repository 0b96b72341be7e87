// Small byte-wise text helpers shared by the script parser and the property text:
// trimming, splitting, ASCII lower case, and escaping for messages. ASCII rules
// only, so no locale changes what a token or a key is. Views returned point into
// the caller's text.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// Space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// `s` without the characters of `set` at either end.
constexpr std::string_view Trim(std::string_view s, std::string_view set) {
  while (!s.empty() && set.find(s.front()) != std::string_view::npos) s.remove_prefix(1);
  while (!s.empty() && set.find(s.back()) != std::string_view::npos) s.remove_suffix(1);
  return s;
}

constexpr std::string_view TrimSpace(std::string_view s) { return Trim(s, " \t\n\v\f\r"); }

inline std::string Lower(std::string_view s) {
  std::string lowered(s);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

// The pieces between runs of `separators`; no piece is empty. At most `limit`
// pieces are taken; the rest of the text is dropped.
inline std::vector<std::string_view> Split(std::string_view s, std::string_view separators,
                                           std::size_t limit = std::string_view::npos) {
  std::vector<std::string_view> pieces;
  std::size_t at = 0;
  while (pieces.size() < limit) {
    at = s.find_first_not_of(separators, at);
    if (at == std::string_view::npos) break;
    std::size_t end = s.find_first_of(separators, at);
    if (end == std::string_view::npos) end = s.size();
    pieces.push_back(s.substr(at, end - at));
    at = end;
  }
  return pieces;
}

// `s` fit for a terminal or message box: control bytes, DEL and byte-order marks
// become \xNN escapes and a backslash is doubled; other bytes pass unchanged.
inline std::string Escape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  auto hex = [&out](unsigned char c) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", c);
    out += code;
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (s.substr(i, 3) == "\xEF\xBB\xBF") {
      for (int k = 0; k < 3; ++k) hex(static_cast<unsigned char>(s[i + k]));
      i += 2;
    } else if (c < 0x20 || c == 0x7F) {
      hex(c);
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace text
