// The read-whole-file step of the loaders: a file's bytes through the memory
// files (disk first, then the archive), or a fatal "Error" box and exit status 0
// when the file cannot be opened or read whole. Entry thread only.
#pragma once

#include <cstdint>
#include <memory>

struct WholeFile {
  std::unique_ptr<std::uint8_t[]> data;  // owned by the caller
  std::int32_t size = 0;                 // bytes in data
};

// Returns the whole file; does not return when it cannot.
WholeFile ReadWholeFile(const char* path);
