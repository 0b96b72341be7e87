#include "archive/ReadWholeFile.h"

#include <string>

#include "archive/CFLResourceFilter.h"
#include "archive/MemFile.h"
#include "platform/os/oshost.h"

WholeFile ReadWholeFile(const char* path) {
  MemFile* file = MemFileOpen(path);
  if (!file) OsFatal("Error", std::string("Couldn't open file: ") + (path ? path : ""), 0);
  MemFileSeek(file, 0, 2);
  const std::int32_t length = MemFileTell(file);
  MemFileSeek(file, 0, 0);
  WholeFile whole;
  whole.data = CFLAllocate(static_cast<std::uint64_t>(length));
  const std::size_t read =
      whole.data ? MemFileRead(whole.data.get(), 1, static_cast<std::size_t>(length), file) : 0;
  MemFileClose(file);
  if (!whole.data || read != static_cast<std::size_t>(length))
    OsFatal("Error", "Error reading file to memory!", 0);
  whole.size = length;
  return whole;
}
