#include <climits>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/fsound/FileCallbacks.h"

namespace {

// Open files by handle - 1. Released slots are reused.
std::mutex filesLock;
std::vector<std::FILE*>& Files() {
  static auto* files = new std::vector<std::FILE*>();  // outlives every stream thread
  return *files;
}

std::FILE* Lookup(unsigned int handle) {
  std::lock_guard<std::mutex> lock(filesLock);
  auto& files = Files();
  return handle >= 1 && handle <= files.size() ? files[handle - 1] : nullptr;
}

unsigned int DiskOpen(const char* name) {
  if (!name) return 0;
  std::FILE* file = std::fopen(name, "rb");
  if (!file) return 0;
  std::lock_guard<std::mutex> lock(filesLock);
  auto& files = Files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!files[i]) {
      files[i] = file;
      return static_cast<unsigned int>(i + 1);
    }
  }
  files.push_back(file);
  return static_cast<unsigned int>(files.size());
}

void DiskClose(unsigned int handle) {
  std::FILE* file = nullptr;
  {
    std::lock_guard<std::mutex> lock(filesLock);
    auto& files = Files();
    if (handle < 1 || handle > files.size()) return;
    file = files[handle - 1];
    files[handle - 1] = nullptr;
  }
  if (file) std::fclose(file);
}

int DiskRead(void* buffer, int size, unsigned int handle) {
  std::FILE* file = Lookup(handle);
  if (!file || !buffer || size <= 0) return 0;
  return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(size), file));
}

int DiskSeek(unsigned int handle, int pos, signed char mode) {
  std::FILE* file = Lookup(handle);
  if (!file) return -1;
  int whence = mode == 1 ? SEEK_CUR : mode == 2 ? SEEK_END : SEEK_SET;
  return std::fseek(file, pos, whence) == 0 ? 0 : -1;
}

int DiskTell(unsigned int handle) {
  std::FILE* file = Lookup(handle);
  if (!file) return -1;
  long position = std::ftell(file);
  return position < 0 || position > INT_MAX ? -1 : static_cast<int>(position);
}

}  // namespace

FileCallbacks DiskFileCallbacks() {
  return FileCallbacks{DiskOpen, DiskClose, DiskRead, DiskSeek, DiskTell};
}
