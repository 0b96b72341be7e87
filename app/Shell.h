// The player's run as a whole: start-up, the frame loop and shutdown, with the
// command-line options applied around the designed sequence.
#pragma once

#include <optional>
#include <string>

struct ShellOptions {
  std::optional<bool> fullscreen;  // set: the full-screen question is answered in advance
  bool headless = false;
  std::string captureDir;          // empty: no capture
  int fps = 60;
  std::optional<double> seconds;   // stop after this much script time
  std::string dataDir;
};

// Runs the show; returns the process exit status of an orderly end.
int RunShell(const ShellOptions& options);
