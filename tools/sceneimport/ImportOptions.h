// The command line of sceneimport.
#pragma once

#include <string>

namespace sceneimport {

struct ImportOptions {
  std::string input, output;
  float fps = 30;         // keys per second of resampled animation
  float scale = 1;        // multiplies every length
  std::string textures;   // texture folder; empty: beside the output
  bool frame = false;     // add a camera and a light that show the whole model
  std::string camera;     // the file's camera to start with; empty: the first
  float lightScale = 1;   // multiplies every light's intensity
  bool report = false;    // print the report even without warnings
  bool help = false;
};

// False with `error` set for a command line that cannot be used.
bool ParseImportOptions(int argc, const char* const* argv, ImportOptions* options, std::string* error);
// True when both names lead to one file (another spelling, a link).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace sceneimport
