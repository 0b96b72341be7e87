// A stream's music at the mixing rate: the decoder's frames as they are when the
// file has the mixing rate, otherwise converted by linear interpolation (mix frame
// j is source position j * sourceRate / mixRate, computed exactly in integers, so
// positions never drift). Internal to platform/fsound; one caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/fsound/Mp3Decoder.h"

class StreamReader {
 public:
  StreamReader(std::unique_ptr<Mp3Decoder> decoder, long mixRate);

  // Writes up to `frames` interleaved stereo frames; fewer means the music ended.
  std::size_t read(std::int16_t* out, std::size_t frames);
  // Moves to mix frame `frame`, clamped to 0 .. length().
  void seek(std::int64_t frame);
  std::int64_t length() const { return length_; }  // mix frames

 private:
  bool pull(std::int16_t frame[2]);  // the next source frame; false at the end
  void advance();

  std::unique_ptr<Mp3Decoder> decoder_;
  long sourceRate_;
  long mixRate_;
  std::int64_t length_;
  // Conversion state: the output sits `phase_ / mixRate_` of the way from
  // current_ to next_.
  std::int64_t position_ = 0;
  long phase_ = 0;
  std::int16_t current_[2] = {0, 0};
  std::int16_t next_[2] = {0, 0};
  bool haveCurrent_ = false;
  bool haveNext_ = false;
  std::vector<std::int16_t> block_;  // decoded source frames not yet used
  std::size_t blockAt_ = 0;
  std::size_t blockEnd_ = 0;
};
