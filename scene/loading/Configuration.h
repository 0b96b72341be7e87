// Key-value property text, as node properties and animated-texture descriptions
// carry it: lines of "key = value", keys lower-cased, the first occurrence of a
// key winning, nothing ever an error.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class Configuration {
 public:
  void Parse(std::string_view text);
  // None for a missing key (an empty value is a value).
  std::optional<std::string> GetString(std::string_view key) const;
  std::int32_t GetInt(std::string_view key) const;  // 0 when missing or not a number
  float GetFloat(std::string_view key) const;       // 0 when missing or not a number
  bool Has(std::string_view key) const;

  std::map<std::string, std::string> values;  // lower-case keys
};
