#include "script/ScriptSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archive/CFLArchive.h"
#include "archive/CFLResourceFilter.h"

namespace {

ScriptFile Unreadable(std::string reason) {
  ScriptFile file;
  file.status = ScriptFile::Status::kUnreadable;
  file.reason = std::move(reason);
  return file;
}

ScriptFile TooLarge() {
  ScriptFile file;
  file.status = ScriptFile::Status::kTooLarge;
  return file;
}

struct Descriptor {
  explicit Descriptor(int fd) : fd(fd) {}
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int fd;
};

ScriptFile ReadFromArchive(const CFLArchive& archive, const std::string& name,
                           std::size_t maxBytes) {
  // The declared size decides only a refusal; the buffer comes from the data.
  if (archive.GetSize(name.c_str()) > maxBytes) return TooLarge();
  ScriptFile file;
  std::uint32_t size = 0;
  file.data = archive.Read(name.c_str(), size);
  if (!file.data) return Unreadable("its archive entry is damaged");
  file.size = size;
  file.status = ScriptFile::Status::kRead;
  return file;
}

}  // namespace

ScriptFile ReadScriptFromDisk(const std::string& name, std::size_t maxBytes) {
  // Non-blocking, so a FIFO cannot stall the open; only regular files are read.
  Descriptor in(open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (in.fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    return Unreadable(std::strerror(errno));
  }
  struct stat info {};
  if (fstat(in.fd, &info) != 0) return Unreadable(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return Unreadable("it is not a regular file");
  if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) return TooLarge();
  ScriptFile file;
  const auto capacity = static_cast<std::size_t>(info.st_size);
  file.data = CFLAllocate(capacity);
  if (!file.data) return Unreadable("out of memory");
  // A file that grows while read is cut at the size it had when opened.
  while (file.size < capacity) {
    const ssize_t got = read(in.fd, file.data.get() + file.size, capacity - file.size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Unreadable(std::strerror(errno));
    if (got == 0) break;
    file.size += static_cast<std::size_t>(got);
  }
  file.status = ScriptFile::Status::kRead;
  return file;
}

ScriptFile ReadScriptFile(const std::string& name, std::size_t maxBytes) {
  if (const CFLArchive* archive = ProgramArchive(); archive && archive->Exists(name.c_str()))
    return ReadFromArchive(*archive, name, maxBytes);
  return ReadScriptFromDisk(name, maxBytes);
}

ScriptFile ScriptFileFromText(std::string_view text, std::size_t maxBytes) {
  ScriptFile file;
  if (text.size() > maxBytes) {
    file.status = ScriptFile::Status::kTooLarge;
    return file;
  }
  file.status = ScriptFile::Status::kRead;
  file.size = text.size();
  file.data = std::make_unique<std::uint8_t[]>(file.size);
  std::copy(text.begin(), text.end(), file.data.get());
  return file;
}
