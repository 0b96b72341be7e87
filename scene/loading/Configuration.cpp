#include "scene/loading/Configuration.h"

#include <limits>
#include <locale>
#include <sstream>
#include <vector>

#include "text/Text.h"

namespace {

using text::IsSpace;
using text::Lower;
using text::TrimSpace;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AddLine(std::map<std::string, std::string>& values, std::string_view line) {
  line = text::Trim(line, "\r\n");
  if (line.empty() || line.front() == '#') return;
  // The pieces between runs of '='; a leading run yields no empty piece.
  std::vector<std::string_view> pieces = text::Split(line, "=");
  if (pieces.empty()) return;
  std::string key = Lower(TrimSpace(pieces[0]));
  std::string value = pieces.size() > 1 ? std::string(TrimSpace(pieces[1])) : std::string();
  values.emplace(std::move(key), std::move(value));  // an existing key keeps its value
}

// Like atoi: blanks, an optional sign, the leading digits; saturates instead of
// overflowing.
std::int32_t ParseInt(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int64_t magnitude = 0;
  const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

// The magnitude of an out-of-range decimal number: infinity when it lies above
// one, zero when below.
double HugeOrZero(std::string_view number) {
  std::int64_t scale = 0;  // position of the first non-zero digit relative to the point
  std::size_t at = 0;
  bool seenPoint = false, seenDigit = false;
  for (; at < number.size() && number[at] != 'e' && number[at] != 'E'; ++at) {
    if (number[at] == '.') {
      seenPoint = true;
    } else if (!seenDigit && number[at] == '0') {
      if (seenPoint) --scale;
    } else {
      seenDigit = true;
      if (!seenPoint) ++scale;
    }
  }
  std::int64_t exponent = 0;
  if (at < number.size()) exponent = ParseInt(number.substr(at + 1));
  return scale + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// The length of the decimal number at the start of `text`: digits, a point and
// digits, then an exponent where digits follow it; 0 when there is none.
std::size_t DecimalLength(std::string_view text) {
  std::size_t at = 0, digits = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) ++digits;
  if (at < text.size() && text[at] == '.')
    for (++at; at < text.size() && IsDigit(text[at]); ++at) ++digits;
  if (digits == 0) return 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    std::size_t e = at + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && IsDigit(text[e])) {
      while (e < text.size() && IsDigit(text[e])) ++e;
      at = e;
    }
  }
  return at;
}

// Like atof for decimal text: blanks, sign, digits, fraction, exponent. The
// number is converted in the classic locale, whatever the program's.
float ParseFloat(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // Decimal only: "inf", "nan", hexadecimal and a second sign are no numbers.
  const std::string_view number = text.substr(at, DecimalLength(text.substr(at)));
  if (number.empty()) return 0.0f;
  std::istringstream in{std::string(number)};
  in.imbue(std::locale::classic());
  double value = 0.0;
  in >> value;
  // Too large or too small for a double: what atof gives, infinity or zero.
  if (in.fail()) value = HugeOrZero(number);
  if (negative) value = -value;
  return static_cast<float>(value);
}

}  // namespace

void Configuration::Parse(std::string_view text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) AddLine(values, text.substr(start, end - start));
    start = end + 1;
  }
}

std::optional<std::string> Configuration::GetString(std::string_view key) const {
  auto found = values.find(Lower(key));
  if (found == values.end()) return std::nullopt;
  return found->second;
}

std::int32_t Configuration::GetInt(std::string_view key) const {
  auto found = values.find(Lower(key));
  return found == values.end() ? 0 : ParseInt(found->second);
}

float Configuration::GetFloat(std::string_view key) const {
  auto found = values.find(Lower(key));
  return found == values.end() ? 0.0f : ParseFloat(found->second);
}

bool Configuration::Has(std::string_view key) const { return values.count(Lower(key)) != 0; }
