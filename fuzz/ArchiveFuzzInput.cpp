#include "fuzz/ArchiveFuzzInput.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/CFLArchive.h"
#include "archive/CFLFilterChain.h"
#include "archive/MemFile.h"

namespace {

// The archive reads by path, so the bytes go to an in-memory file with one.
const std::string& ScratchPath(int& fd) {
  static int file = -1;
  static std::string path;
  if (file < 0) {
    file = memfd_create("cfl-fuzz", 0);
    if (file < 0) {
      char pattern[] = "/tmp/cfl-fuzz-XXXXXX";
      file = mkstemp(pattern);
      if (file >= 0) unlink(pattern);
    }
    if (file < 0) std::abort();
    path = "/proc/self/fd/" + std::to_string(file);
  }
  fd = file;
  return path;
}

void WriteScratch(const std::uint8_t* data, std::size_t size, const std::string& path, int fd) {
  (void)path;
  if (ftruncate(fd, 0) != 0) std::abort();
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
}

// Reading every byte lets the sanitizer see any buffer shorter than promised.
std::uint32_t Touch(const std::uint8_t* bytes, std::uint32_t length) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < length; ++i) sum += bytes[i];
  return sum;
}

void ReadAsMemFile(const std::string& name) {
  MemFile* file = MemFileOpen(name.c_str());
  if (!file) return;
  std::uint8_t buffer[64];
  MemFileSeek(file, -10, 2);
  while (MemFileRead(buffer, 3, sizeof buffer / 3, file) > 0) {
  }
  MemFileSeek(file, 0, 0);
  MemFileRead(buffer, 1, sizeof buffer, file);
  MemFileClose(file);
}

}  // namespace

void OpenAndReadArchiveBytes(const std::uint8_t* data, std::size_t size) {
  int fd = -1;
  const std::string& path = ScratchPath(fd);
  WriteScratch(data, size, path, fd);

  volatile std::uint32_t sink = 0;
  CFLArchive archive;
  archive.Open(path.c_str());
  archive.Open(path.c_str(), static_cast<std::int32_t>(size / 2));
  const std::vector<CFLEntryInfo> entries = archive.List();
  SetProgramArchive(&archive);
  for (const CFLEntryInfo& e : entries) {
    std::uint32_t length = 0;
    if (auto bytes = archive.Read(e.name.c_str(), length)) sink = sink + Touch(bytes.get(), length);
    std::uint8_t small[32];
    sink = sink + static_cast<std::uint32_t>(archive.ReadInto(e.name.c_str(), small, sizeof small));
    sink = sink + archive.GetSize(e.name.c_str()) + archive.Exists(e.name.c_str());
    if (!e.name.empty() && e.name.find('/') == std::string::npos && e.name[0] != '.')
      ReadAsMemFile(e.name);
  }
  SetProgramArchive(nullptr);

  if (size >= 4) {
    const std::uint32_t id = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                             std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
    std::uint32_t length = 0;
    if (auto bytes = Unpack(data + 4, static_cast<std::uint32_t>(size - 4), id, length))
      sink = sink + Touch(bytes.get(), length);
  }
}
