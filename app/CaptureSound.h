// The sound of a capture run: chooses the sound layer's offline output (so it
// must exist before the sound system starts), mixes exactly the samples that
// belong to each presented frame into DIR/audio.wav, and at the end muxes the
// frames and the sound into DIR/show.mp4 when ffmpeg is on the path. Frame n
// covers samples [n * 44100 / fps, (n + 1) * 44100 / fps), in integers, so the
// sound never drifts from the pictures. Entry thread.
#pragma once

#include <cstdint>
#include <string>

#include "app/WavWriter.h"

class CaptureSound {
 public:
  CaptureSound(const std::string& directory, int fps);
  // Gives the sound layer its own output choice back.
  ~CaptureSound();
  CaptureSound(const CaptureSound&) = delete;
  CaptureSound& operator=(const CaptureSound&) = delete;

  bool ok() const { return wav_.ok(); }
  // Mixes and writes the sound of the next frame.
  void frame();
  // Closes audio.wav and makes show.mp4 from `frames` frames, or says how to.
  void finish(std::uint64_t frames);

  std::uint64_t framesMixed() const { return frame_; }

 private:
  std::string directory_;
  int fps_;
  WavWriter wav_;
  std::uint64_t frame_ = 0;
  bool reported_ = false;  // a failed write is said once
};
