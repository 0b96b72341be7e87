// The page's entry point. The page asks the start-up question itself (its answer is also
// the click browsers want before sound may start) and passes it with the other options;
// the show's end, with its exit status, reaches the page through Module.onExit.
#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Shell.h"

int main(int argc, char** argv) {
  CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  int status = 2;
  if (!commandLine.error.empty())
    std::fprintf(stderr, "demo: %s\n", commandLine.error.c_str());
  else
    status = RunGuarded([&commandLine] { return RunShell(commandLine.options); });
  // The frame loop hands each frame to the browser, so main returns long after the
  // page called it: the status is handed over explicitly.
  std::fflush(nullptr);
  emscripten_force_exit(status);
  return status;
}
