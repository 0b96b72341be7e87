// Making show.mp4 from a capture folder with ffmpeg, when it is installed.
#pragma once

#include <string>

enum class MuxResult { Done, NoFfmpeg, Failed };

// The command that muxes DIR's frames and audio.wav into DIR/show.mp4.
std::string MuxCommandLine(const std::string& directory, int fps);
// Runs it quietly (no output, no input) and waits for it.
MuxResult MuxShowVideo(const std::string& directory, int fps);
