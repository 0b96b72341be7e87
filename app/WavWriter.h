// A 16-bit stereo PCM WAV file written as it grows. The header is brought up to
// date after every append and the file flushed, so whenever the process ends the
// file on disk is complete and playable. Appends that would pass the format's
// 4 GiB limit are refused. One thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
 public:
  // Creates (or empties) `path`; ok() tells whether that worked.
  WavWriter(const std::string& path, int rate);
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool ok() const { return file_ != nullptr; }
  // Appends `count` interleaved left/right frames.
  bool append(const std::int16_t* frames, std::size_t count);
  std::uint64_t frames() const { return frames_; }

 private:
  bool writeHeader();

  std::FILE* file_ = nullptr;  // owned
  int rate_;
  std::uint64_t frames_ = 0;
};
