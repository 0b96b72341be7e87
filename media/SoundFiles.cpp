#include "media/SoundFiles.h"

#include <mutex>
#include <vector>

#include "archive/MemFile.h"

namespace {

std::mutex tableLock;

// Open memory files, owned (released through MemFileClose); handle = index + 1.
std::vector<MemFile*>& Table() {
  static auto* table = new std::vector<MemFile*>();  // the mixing thread may outlive main
  return *table;
}

MemFile* Lookup(unsigned int handle) {
  std::lock_guard<std::mutex> lock(tableLock);
  auto& table = Table();
  return handle >= 1 && handle <= table.size() ? table[handle - 1] : nullptr;
}

}  // namespace

unsigned int SoundFileOpen(const char* name) {
  MemFile* file = MemFileOpen(name);
  if (!file) return 0;
  std::lock_guard<std::mutex> lock(tableLock);
  auto& table = Table();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (!table[i]) {
      table[i] = file;
      return static_cast<unsigned int>(i + 1);
    }
  }
  table.push_back(file);
  return static_cast<unsigned int>(table.size());
}

void SoundFileClose(unsigned int handle) {
  MemFile* file = nullptr;
  {
    std::lock_guard<std::mutex> lock(tableLock);
    auto& table = Table();
    if (handle < 1 || handle > table.size()) return;
    file = table[handle - 1];
    table[handle - 1] = nullptr;
  }
  MemFileClose(file);
}

int SoundFileRead(void* buffer, int size, unsigned int handle) {
  if (size <= 0) return 0;
  return static_cast<int>(MemFileRead(buffer, 1, static_cast<std::size_t>(size), Lookup(handle)));
}

int SoundFileSeek(unsigned int handle, int pos, signed char mode) {
  return MemFileSeek(Lookup(handle), pos, mode);
}

int SoundFileTell(unsigned int handle) { return MemFileTell(Lookup(handle)); }

int SoundFilesOpen() {
  std::lock_guard<std::mutex> lock(tableLock);
  int open = 0;
  for (MemFile* file : Table()) open += file != nullptr;
  return open;
}
