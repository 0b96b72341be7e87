// The script parser: reads a script and every script it includes through a
// source, and appends their items to a Scripter. Bounded: include depth, scripts
// opened, bytes of one script, bytes over all scripts read, and items made are
// capped; a script
// beyond a bound, an unknown command or a number that does not fit its field ends
// the process with the "Error loading script" box (exit status 0). A script that
// is missing or unreadable adds nothing and is named on standard error.
// Entry thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "script/ScriptSource.h"

class Scripter;

struct ScriptLimits {
  int maxIncludeDepth = 32;
  std::size_t maxScriptBytes = std::size_t{16} << 20;  // one script file
  std::uint64_t maxTotalBytes = std::uint64_t{64} << 20;  // all files of one load
  std::size_t maxItems = std::size_t{1} << 18;  // items one load may add
  // Scripts one load may open, missing and empty ones included: they add no
  // bytes or items, yet fan out as well.
  std::size_t maxScriptReads = std::size_t{1} << 16;
};

void LoadScript(Scripter& scripter, const std::string& fileName, float timeOffset,
                const ScriptSource& source, const ScriptLimits& limits = {});

// Every command the parser knows, "include" among them, in lower case and sorted.
std::vector<std::string> ScriptCommandNames();
