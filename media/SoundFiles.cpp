#include "media/SoundFiles.h"

#include "archive/MemFile.h"
#include "platform/fsound/HandleTable.h"

namespace {

// Open memory files, owned (released through MemFileClose).
HandleTable<MemFile>& Table() {
  static auto* table = new HandleTable<MemFile>();  // the mixing thread may outlive main
  return *table;
}

}  // namespace

unsigned int SoundFileOpen(const char* name) {
  MemFile* file = MemFileOpen(name);
  if (!file) return 0;
  const unsigned int handle = Table().Add(file);
  if (handle == 0) MemFileClose(file);
  return handle;
}

void SoundFileClose(unsigned int handle) { MemFileClose(Table().Remove(handle)); }

int SoundFileRead(void* buffer, int size, unsigned int handle) {
  if (size <= 0) return 0;
  return static_cast<int>(
      MemFileRead(buffer, 1, static_cast<std::size_t>(size), Table().Find(handle)));
}

int SoundFileSeek(unsigned int handle, int pos, signed char mode) {
  return MemFileSeek(Table().Find(handle), pos, mode);
}

int SoundFileTell(unsigned int handle) { return MemFileTell(Table().Find(handle)); }

int SoundFilesOpen() { return static_cast<int>(Table().Count()); }
