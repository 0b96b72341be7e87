#include "archive/MemFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "archive/BinaryFileReader.h"
#include "archive/CFLArchive.h"

namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();

std::unique_ptr<MemFile> OpenFromDisk(const char* name) {
  BinaryFileReader disk(name);
  if (!disk.IsOpen() || disk.Size() > kMaxSize) return nullptr;
  std::uint64_t length = 0;
  auto file = std::make_unique<MemFile>();
  file->data = disk.ReadAll(length);
  if (!file->data) return nullptr;
  file->size = static_cast<std::int32_t>(length);
  return file;
}

std::unique_ptr<MemFile> OpenFromArchive(const char* name) {
  const CFLArchive* archive = ProgramArchive();
  if (!archive || !archive->Exists(name)) return nullptr;
  std::uint32_t size = 0;
  auto file = std::make_unique<MemFile>();
  file->data = archive->Read(name, size);
  if (!file->data || size > kMaxSize) return nullptr;
  file->size = static_cast<std::int32_t>(size);
  return file;
}

}  // namespace

MemFile* MemFileOpen(const char* name) {
  if (!name) return nullptr;
  std::unique_ptr<MemFile> file = OpenFromDisk(name);
  if (!file) file = OpenFromArchive(name);
  return file.release();
}

int MemFileSeek(MemFile* file, std::int32_t offset, int origin) {
  if (!file) return 1;
  std::int64_t position = file->position;
  switch (origin) {
    case 0: position = offset; break;
    case 1: position += offset; break;
    case 2: position = std::int64_t(file->size) + offset; break;
    default: break;
  }
  file->position = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, file->size));
  return 0;
}

std::int32_t MemFileTell(MemFile* file) { return file ? file->position : -1; }

std::size_t MemFileRead(void* destination, std::size_t elementSize, std::size_t count,
                        MemFile* file) {
  if (!file || elementSize == 0) return 0;
  const std::size_t left = static_cast<std::size_t>(file->size - file->position);
  // Compared by division so elementSize * count cannot overflow.
  const std::size_t bytes = count > left / elementSize ? left : elementSize * count;
  if (bytes) std::memcpy(destination, file->data.get() + file->position, bytes);
  file->position += static_cast<std::int32_t>(bytes);
  return bytes / elementSize;
}

int MemFileClose(MemFile* file) {
  if (!file) return -1;
  delete file;
  return 0;
}
