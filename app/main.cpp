// Process entry: reads the command line and runs the show.
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Shell.h"

namespace {

int Run(int argc, char** argv) {
  CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!commandLine.error.empty()) {
    std::fprintf(stderr, "demo: %s\n%s", commandLine.error.c_str(), UsageText());
    return 2;
  }
  if (commandLine.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (commandLine.version) {
    std::printf("demo, the show player, version %s (%s build, %s)\n", SHOW_VERSION, SHOW_BUILD_TYPE, SHOW_BUILD_ID);
    return 0;
  }
  return RunShell(commandLine.options);
}

}  // namespace

int main(int argc, char** argv) {
  return RunGuarded([argc, argv] { return Run(argc, argv); });
}
