#include "archive/ReadWholeFile.h"

#include <string>
#include <utility>

#include "archive/CFLResourceFilter.h"
#include "archive/MemFile.h"
#include "platform/os/oshost.h"

MemFileBytes ReadMemFileBytes(const char* path) {
  MemFileBytes read;
  MemFile* file = MemFileOpen(path);
  if (!file) return read;
  read.opened = true;
  MemFileSeek(file, 0, 2);
  read.length = MemFileTell(file);
  MemFileSeek(file, 0, 0);
  if (read.length >= 0) read.bytes.data = CFLAllocate(static_cast<std::uint64_t>(read.length));
  if (read.bytes.data)
    read.bytes.size = static_cast<std::int32_t>(
        MemFileRead(read.bytes.data.get(), 1, static_cast<std::size_t>(read.length), file));
  MemFileClose(file);
  return read;
}

WholeFile ReadWholeFile(const char* path) {
  MemFileBytes read = ReadMemFileBytes(path);
  if (!read.opened) OsFatal("Error", std::string("Couldn't open file: ") + (path ? path : ""), 0);
  if (!read.bytes.data || read.bytes.size != read.length)
    OsFatal("Error", "Error reading file to memory!", 0);
  return std::move(read.bytes);
}
