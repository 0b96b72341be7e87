// The sound of a capture run: chooses the sound layer's offline output (so it
// must exist before the sound system starts) and mixes exactly the samples that
// belong to each presented frame. With frame files it writes them to
// DIR/audio.wav and at the end muxes frames and sound into the video when ffmpeg
// is on the path; straight to video the samples go to the encoder. Frame n covers
// samples [n * 44100 * den / num, (n + 1) * 44100 * den / num), in integers, so
// the sound never drifts from the pictures. Entry thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/FrameRate.h"
#include "app/WavWriter.h"

class CaptureSound {
 public:
  // `video`: the file the frame files become; empty: the samples are only handed out.
  CaptureSound(const std::string& directory, FrameRate fps, std::string video);
  // Gives the sound layer its own output choice back.
  ~CaptureSound();
  CaptureSound(const CaptureSound&) = delete;
  CaptureSound& operator=(const CaptureSound&) = delete;

  bool ok() const { return !wav_ || wav_->ok(); }
  // Mixes (and writes to audio.wav) the sound of the next frame.
  const std::vector<std::int16_t>& frame();
  // Mixes the next frame's sound and drops it: frames stepped over by a start
  // later than 0 leave the music where it would have played to.
  void skip();
  // Closes audio.wav and makes the video from `frames` frames numbered from
  // `firstFrame`, or says how to.
  void finish(std::uint64_t frames, std::int64_t firstFrame);

  std::uint64_t framesMixed() const { return frame_; }

 private:
  void mix();

  std::string directory_;
  FrameRate fps_;
  std::string video_;
  std::unique_ptr<WavWriter> wav_;
  std::vector<std::int16_t> mix_;
  std::uint64_t frame_ = 0;
  bool reported_ = false;  // a failed write is said once
};
