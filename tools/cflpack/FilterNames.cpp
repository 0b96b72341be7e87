#include "tools/cflpack/FilterNames.h"

#include <cstdio>

#include "archive/CFLArchiveWriter.h"
#include "archive/CFLFilterChain.h"

namespace {

struct NamedChain {
  const char* name;
  std::uint32_t id;
};

constexpr NamedChain kNamed[] = {
    {"none", cfl_filter::kNone},
    {"zlib", cfl_filter::kZlib},
    {"delta8", cfl_filter::kDelta8},
    {"delta16", cfl_filter::kDelta16},
    {"delta32", cfl_filter::kDelta32},
    {"delta8+zlib", cfl_filter::kDelta8 | cfl_filter::kZlib},
    {"delta16+zlib", cfl_filter::kDelta16 | cfl_filter::kZlib},
    {"delta32+zlib", cfl_filter::kDelta32 | cfl_filter::kZlib},
};

}  // namespace

std::vector<std::uint32_t> FilterChainsForOption(const std::string& option) {
  // A delta without compression never packs smaller than stored bytes.
  if (option == "auto")
    return {cfl_filter::kNone, cfl_filter::kZlib, cfl_filter::kDelta8 | cfl_filter::kZlib,
            cfl_filter::kDelta16 | cfl_filter::kZlib, cfl_filter::kDelta32 | cfl_filter::kZlib};
  for (const NamedChain& c : kNamed)
    if (option == c.name) return {c.id};
  return {};
}

std::string FilterChainName(std::uint32_t compoundId) {
  for (const NamedChain& c : kNamed)
    if (compoundId == c.id) return c.name;
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", compoundId);
  return hex;
}
