// Runs a program to completion and collects its exit status and output.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1;     // -1 when it did not exit normally
  std::string output;    // standard output and standard error together
};

// Runs `program` with `arguments` in `workingDir` (empty: the current one), with
// the extra environment assignments ("NAME=value") added; ends it after
// `timeoutSeconds`.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDir = "",
                         const std::vector<std::string>& environment = {},
                         int timeoutSeconds = 120);
