// Making the video from a capture folder's frame files and audio.wav with ffmpeg,
// when it is installed.
#pragma once

#include <cstdint>
#include <string>

#include "app/FrameRate.h"

enum class MuxResult { Done, NoFfmpeg, Failed };

bool FfmpegOnPath();
// The command that muxes DIR's frames and audio.wav into `video`. `firstFrame` is
// the number of the first frame file: a run started later than 0 numbers its
// frames from its start, and ffmpeg looks for the first one only near 0.
std::string MuxCommandLine(const std::string& directory, FrameRate fps, const std::string& video,
                           std::int64_t firstFrame);
// Runs it quietly (no output, no input) and waits for it.
MuxResult MuxShowVideo(const std::string& directory, FrameRate fps, const std::string& video,
                       std::int64_t firstFrame);
