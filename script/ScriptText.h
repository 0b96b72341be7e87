// The script's text rules: lines, comments, tokens and number conversions.
// Pure functions, no knowledge of the commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptLine {
  std::string keyword;                  // as written (case kept)
  std::vector<std::string> arguments;   // always five; absent ones are empty
};

// Every command line of `text`, in order; blank lines and comments are dropped.
std::vector<ScriptLine> SplitScriptLines(const std::string& text);

// Decimal integer: leading white space, optional sign, digits up to the first
// non-digit; no digits gives 0; wraps silently like the 32-bit original.
std::int32_t ParseInteger(const std::string& s);
// Decimal floating point with fraction and exponent; no number gives 0.
float ParseReal(const std::string& s);
// A double as a float; beyond the float range it is infinite rather than undefined.
float ToFloat(double value);
