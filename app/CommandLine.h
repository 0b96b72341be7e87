// The player's command-line options. Without options the player behaves as
// designed; options only answer the question in advance, drop the display,
// capture frames, limit the run or change into the show's folder.
#pragma once

#include <string>
#include <vector>

#include "app/Shell.h"

struct CommandLine {
  ShellOptions options;
  bool help = false;
  bool version = false;
  std::string error;  // non-empty: the arguments are not understood
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
const char* UsageText();
