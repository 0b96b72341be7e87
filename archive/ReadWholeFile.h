// Reading a file whole through the memory files (disk first, then the archive): the
// one read every loader shares, and the loaders' read-whole-file step, which ends with
// a fatal "Error" box and exit status 0 when the file cannot be opened or read whole.
// Entry thread only.
#pragma once

#include <cstdint>
#include <memory>

struct WholeFile {
  std::unique_ptr<std::uint8_t[]> data;  // owned by the caller
  std::int32_t size = 0;                 // bytes in data
};

// What the memory files hold under `path`, as far as it could be read: `opened` is
// false when neither a disk file nor an archive entry has the name; `bytes.size` falls
// short of `length` when the read stops early, and `bytes.data` is null when no buffer
// of `length` bytes could be had.
struct MemFileBytes {
  bool opened = false;
  std::int32_t length = 0;  // what the file says it holds
  WholeFile bytes;
};
MemFileBytes ReadMemFileBytes(const char* path);

// Returns the whole file; does not return when it cannot.
WholeFile ReadWholeFile(const char* path);
