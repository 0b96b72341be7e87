// One MP3 file decoded by libmpg123, read only through a set of file callbacks,
// delivered as 16-bit stereo frames at the file's own sample rate (mono files give
// two equal channels). Positions are in frames and sample-accurate: the encoder's
// delay and padding are removed, so frame 0 is the first sample of the music.
// Damage in the data ends the music there: decoding stops at the first frame that
// cannot be decoded, and everything after it is silence.
// Internal to platform/fsound. Not thread-safe: one caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#include <memory>

#include "platform/fsound/FileCallbacks.h"

struct mpg123_handle_struct;

class Mp3Decoder {
 public:
  // Opens `name` through `files` (kept for the decoder's life) and measures it.
  // Null on failure, with `error` set to an FMOD_ERRORS code: FILE_NOTFOUND when
  // the open callback fails, FILE_FORMAT when no MP3 audio is found, MEMORY.
  static std::unique_ptr<Mp3Decoder> open(const char* name, const FileCallbacks& files,
                                          int& error);
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // Decodes up to `frames` interleaved stereo frames into `out` and returns how
  // many were written; fewer means the music has ended (or hit damage).
  std::size_t read(std::int16_t* out, std::size_t frames);
  // Moves to `frame`, clamped to 0 .. length(). Music that had ended plays again.
  void seek(std::int64_t frame);
  long rate() const { return rate_; }  // frames per second
  std::int64_t length() const { return length_; }
  std::int64_t position() const { return position_; }

 private:
  Mp3Decoder(const FileCallbacks& files, unsigned int file);
  static ssize_t readThrough(void* self, void* buffer, std::size_t bytes);
  static off_t seekThrough(void* self, off_t offset, int whence);

  FileCallbacks files_;
  unsigned int file_;                       // the callbacks' handle, closed with the decoder
  mpg123_handle_struct* decoder_ = nullptr;  // owned
  long rate_ = 0;
  std::int64_t length_ = 0;
  std::int64_t position_ = 0;
  bool ended_ = false;
};
