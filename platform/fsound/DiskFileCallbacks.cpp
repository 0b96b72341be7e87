#include <climits>
#include <cstdio>

#include "platform/fsound/FileCallbacks.h"
#include "platform/fsound/HandleTable.h"

namespace {

HandleTable<std::FILE>& Files() {
  static auto* files = new HandleTable<std::FILE>();  // outlives every stream thread
  return *files;
}

unsigned int DiskOpen(const char* name) {
  if (!name) return 0;
  std::FILE* file = std::fopen(name, "rb");
  if (!file) return 0;
  const unsigned int handle = Files().Add(file);
  if (handle == 0) std::fclose(file);
  return handle;
}

void DiskClose(unsigned int handle) {
  if (std::FILE* file = Files().Remove(handle)) std::fclose(file);
}

int DiskRead(void* buffer, int size, unsigned int handle) {
  std::FILE* file = Files().Find(handle);
  if (!file || !buffer || size <= 0) return 0;
  return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(size), file));
}

int DiskSeek(unsigned int handle, int pos, signed char mode) {
  std::FILE* file = Files().Find(handle);
  if (!file) return -1;
  int whence = mode == 1 ? SEEK_CUR : mode == 2 ? SEEK_END : SEEK_SET;
  return std::fseek(file, pos, whence) == 0 ? 0 : -1;
}

int DiskTell(unsigned int handle) {
  std::FILE* file = Files().Find(handle);
  if (!file) return -1;
  long position = std::ftell(file);
  return position < 0 || position > INT_MAX ? -1 : static_cast<int>(position);
}

}  // namespace

FileCallbacks DiskFileCallbacks() {
  return FileCallbacks{DiskOpen, DiskClose, DiskRead, DiskSeek, DiskTell};
}
