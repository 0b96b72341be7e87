// Making the video from a capture folder's frame files and audio.wav with ffmpeg,
// when it is installed.
#pragma once

#include <string>

#include "app/FrameRate.h"

enum class MuxResult { Done, NoFfmpeg, Failed };

bool FfmpegOnPath();
// The command that muxes DIR's frames and audio.wav into `video`.
std::string MuxCommandLine(const std::string& directory, FrameRate fps, const std::string& video);
// Runs it quietly (no output, no input) and waits for it.
MuxResult MuxShowVideo(const std::string& directory, FrameRate fps, const std::string& video);
