// The script's text rules: lines, comments, tokens and number conversions.
// Pure functions, no knowledge of the commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct ScriptLine {
  std::string keyword;                  // as written (case kept)
  std::vector<std::string> arguments;   // always five; absent ones are empty
  std::size_t number = 0;               // 1 for the text's first line
};

// Every command line of `text`, in order; blank lines and comments are dropped.
// A line ends at a line feed, a carriage return and line feed, or a lone carriage
// return. The text ends at its first zero byte; a UTF-8 byte-order mark at its
// start is skipped.
std::vector<ScriptLine> SplitScriptLines(std::string_view text);
// The same lines handed to `visit` one at a time, so a long text never holds more
// than one parsed line.
void ForEachScriptLine(std::string_view text, const std::function<void(const ScriptLine&)>& visit);

// Decimal integer: leading white space, optional sign, digits up to the first
// non-digit; no digits gives 0. False when the digits do not fit 32 bits signed.
bool ParseInteger(std::string_view s, std::int32_t& value);
// Decimal floating point with fraction and exponent; no number gives 0. False
// when the result is not a finite float (nan, inf, or beyond the float range).
bool ParseReal(std::string_view s, float& value);
// A double as a float; beyond the float range it is infinite rather than undefined.
float ToFloat(double value);
