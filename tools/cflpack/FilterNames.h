// The names cflpack gives filter chains on its command line and in listings:
// "none", "zlib", "delta8", "delta16", "delta32" and "deltaN+zlib", plus "auto"
// on the command line (the smallest chain per file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The candidate compound ids for a --filter value; empty when unknown.
std::vector<std::uint32_t> FilterChainsForOption(const std::string& option);
// The name of a compound id, or its hexadecimal value when it has none.
std::string FilterChainName(std::uint32_t compoundId);
