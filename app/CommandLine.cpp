#include "app/CommandLine.h"

#include <cstdlib>

namespace {

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0';
}

}  // namespace

const char* UsageText() {
  return "usage: demo [--windowed | --fullscreen] [--headless] [--capture DIR] [--fps N]\n"
         "            [--seconds S] [--data DIR] [--help] [--version]\n"
         "  --windowed, --fullscreen  answer the full-screen question in advance\n"
         "  --headless                run without a display (implies --windowed)\n"
         "  --capture DIR             write every frame as DIR/frame-NNNNNN.png on a virtual clock\n"
         "  --fps N                   frames per second of a capture run (default 60)\n"
         "  --seconds S               stop after S seconds of script time\n"
         "  --data DIR                change into the show's folder first\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  ShellOptions& o = result.options;
  for (std::size_t i = 0; i < arguments.size() && result.error.empty(); ++i) {
    const std::string& a = arguments[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= arguments.size()) {
        result.error = "option " + a + " needs a value";
        return false;
      }
      out = arguments[++i];
      return true;
    };
    std::string text;
    double number = 0;
    if (a == "--windowed") {
      o.fullscreen = false;
    } else if (a == "--fullscreen") {
      o.fullscreen = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--capture") {
      if (value(o.captureDir) && o.captureDir.empty()) result.error = "--capture needs a folder";
    } else if (a == "--data") {
      if (value(o.dataDir) && o.dataDir.empty()) result.error = "--data needs a folder";
    } else if (a == "--fps") {
      if (value(text)) {
        if (!ParseNumber(text, number) || number < 1 || number > 1000 || number != int(number))
          result.error = "--fps needs a whole number from 1 to 1000";
        else
          o.fps = int(number);
      }
    } else if (a == "--seconds") {
      if (value(text)) {
        if (!ParseNumber(text, number) || !(number >= 0))
          result.error = "--seconds needs a number of seconds";
        else
          o.seconds = number;
      }
    } else if (a == "--help" || a == "-h") {
      result.help = true;
    } else if (a == "--version") {
      result.version = true;
    } else {
      result.error = "unknown option " + a;
    }
  }
  if (result.error.empty() && o.headless && o.fullscreen.value_or(false))
    result.error = "--headless cannot run full screen";
  // Without a display the question cannot be asked: a headless run is windowed.
  if (o.headless) o.fullscreen = false;
  return result;
}
