// The player's run as a whole: start-up, the frame loop and shutdown, with the
// command-line options applied around the designed sequence.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/FrameRate.h"

struct BackBufferSize {
  int width = 0;
  int height = 0;
  bool operator==(const BackBufferSize&) const = default;
};

struct ShellOptions {
  std::optional<bool> fullscreen;  // set: the full-screen question is answered in advance
  bool headless = false;
  std::string captureDir;          // empty: no capture
  FrameRate fps;                   // of a capture run; the step of a live seek
  std::optional<double> seconds;   // a capture writes this many seconds of frames; a live run stops
  std::optional<double> start;     // script time (s) the show begins at
  bool loop = false;
  std::optional<BackBufferSize> size;  // back buffer; the screen is boxed inside it
  bool framesPng = false;          // a capture writes PNG frames and audio.wav, not a video
  std::string video;               // the video file of a capture; empty: DIR/show.mp4
  bool stats = false;
  std::string dataDir;
};

// Runs the show; returns the process exit status of an orderly end.
int RunShell(const ShellOptions& options);

// Runs `run` and returns its result; an exception that would end the process
// (out of memory, above all) takes the designed fatal path instead: the message
// under "Demo" on standard error and in a box, exit status 5.
int RunGuarded(const std::function<int()>& run);
