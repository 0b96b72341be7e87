#include "app/CommandLine.h"

#include <cmath>
#include <cstdlib>

namespace {

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && std::isfinite(value);
}

bool ParseSize(const std::string& text, BackBufferSize& size) {
  std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 >= text.size() || x > 5 || text.size() - x > 6)
    return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i != x && (text[i] < '0' || text[i] > '9')) return false;
  size.width = std::atoi(text.substr(0, x).c_str());
  size.height = std::atoi(text.substr(x + 1).c_str());
  return size.width > 0 && size.height > 0;
}

// The largest back buffer side the graphics layer is asked for.
constexpr int kMaxSide = 8192;

}  // namespace

const char* UsageText() {
  return "usage: demo [--windowed | --fullscreen] [--headless] [--capture DIR] [--fps N|N/D]\n"
         "            [--seconds S] [--start S] [--loop] [--size WxH] [--frames png]\n"
         "            [--video FILE] [--stats] [--data DIR] [--help] [--version]\n"
         "  --windowed, --fullscreen  answer the full-screen question in advance\n"
         "  --headless                run without a display (implies --windowed)\n"
         "  --capture DIR             write the show on a virtual clock: DIR/show.mp4 through\n"
         "                            ffmpeg, or frame-NNNNNN.png and audio.wav without it\n"
         "  --fps N|N/D               frames per second of a capture run (default 60)\n"
         "  --seconds S               capture S seconds of frames; a live run stops after S\n"
         "  --start S                 begin at script time S as if played from the start\n"
         "  --loop                    start the show again when it ends\n"
         "  --size WxH                back buffer size; the 1024x768 screen is boxed inside\n"
         "  --frames png              a capture writes PNG frames and audio.wav, then muxes\n"
         "  --video FILE              the capture's video file (default DIR/show.mp4)\n"
         "  --stats                   print frame-time statistics at the end\n"
         "  --data DIR                change into the show's folder first\n"
         "  in a window: Space pause, Left/Right 5 s, Page Up/Down 30 s, Home restart,\n"
         "  R reload, Escape end\n";
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
    } else if (a == "--loop") {
      o.loop = true;
    } else if (a == "--stats") {
      o.stats = true;
    } else if (a == "--capture") {
      if (value(o.captureDir) && o.captureDir.empty()) result.error = "--capture needs a folder";
    } else if (a == "--data") {
      if (value(o.dataDir) && o.dataDir.empty()) result.error = "--data needs a folder";
    } else if (a == "--video") {
      if (value(o.video) && o.video.empty()) result.error = "--video needs a file name";
    } else if (a == "--frames") {
      if (value(text)) {
        if (text != "png")
          result.error = "--frames takes only png";
        else
          o.framesPng = true;
      }
    } else if (a == "--fps") {
      if (value(text)) {
        if (auto rate = ParseFrameRate(text))
          o.fps = *rate;
        else
          result.error = "--fps needs a positive whole number or fraction N/D, from 1 to 1000";
      }
    } else if (a == "--seconds") {
      if (value(text)) {
        if (!ParseNumber(text, number) || !(number >= 0))
          result.error = "--seconds needs a number of seconds";
        else
          o.seconds = number;
      }
    } else if (a == "--start") {
      if (value(text)) {
        // Beyond about 24 days the millisecond clock cannot hold it.
        if (!ParseNumber(text, number) || !(number > 0) || number > 2.0e6)
          result.error = "--start needs a positive number of seconds";
        else
          o.start = number;
      }
    } else if (a == "--size") {
      if (value(text)) {
        BackBufferSize size;
        if (!ParseSize(text, size) || size.width > kMaxSide || size.height > kMaxSide)
          result.error = "--size needs WIDTHxHEIGHT, positive whole numbers up to 8192";
        else
          o.size = size;
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
  if (result.error.empty() && o.captureDir.empty() && (o.framesPng || !o.video.empty()))
    result.error = std::string(o.framesPng ? "--frames" : "--video") + " needs --capture";
  // Without a display the question cannot be asked: a headless run is windowed.
  if (o.headless) o.fullscreen = false;
  return result;
}
