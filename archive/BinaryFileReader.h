// Reads exact byte ranges of one file through a buffered standard stream, with
// every range checked against the file's size. Closes the file when destroyed.
// Not here: any knowledge of what the bytes mean.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

class BinaryFileReader {
 public:
  // Opens `path` for binary reading; IsOpen() tells whether that worked. Only a
  // regular file opens (never a directory, FIFO or device), without blocking.
  explicit BinaryFileReader(const char* path);
  bool IsOpen() const { return file_ != nullptr; }
  // Size in bytes, measured at open (-1 when not open).
  std::int64_t Size() const { return size_; }
  // True when `length` bytes at `position` lie in the file and were read.
  bool ReadAt(std::int64_t position, void* destination, std::uint64_t length);
  bool ReadU32At(std::int64_t position, std::uint32_t& value);
  // Reads the whole file into a new buffer of Size() bytes; `length` gets the
  // count actually read (less when the file shrank meanwhile).
  std::unique_ptr<std::uint8_t[]> ReadAll(std::uint64_t& length);

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::int64_t size_ = -1;
};
