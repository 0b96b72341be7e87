#include "archive/BinaryFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/CFLResourceFilter.h"
#include "platform/os/LittleEndian.h"

BinaryFileReader::BinaryFileReader(const char* path) {
  if (!path) return;
  // Non-blocking, so a FIFO or a device cannot stall the open; only regular files
  // have a size that bounds what is read.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return;
  }
  file_.reset(fdopen(fd, "rb"));
  if (!file_) {
    close(fd);
    return;
  }
  if (fseeko(file_.get(), 0, SEEK_END) != 0) {
    file_.reset();
    return;
  }
  size_ = ftello(file_.get());
  if (size_ < 0) file_.reset();
}

bool BinaryFileReader::ReadAt(std::int64_t position, void* destination, std::uint64_t length) {
  if (!file_ || position < 0 || position > size_ ||
      length > static_cast<std::uint64_t>(size_ - position))
    return false;
  if (length == 0) return true;
  if (fseeko(file_.get(), position, SEEK_SET) != 0) return false;
  return std::fread(destination, 1, length, file_.get()) == length;
}

bool BinaryFileReader::ReadU32At(std::int64_t position, std::uint32_t& value) {
  std::uint8_t b[4];
  if (!ReadAt(position, b, sizeof b)) return false;
  value = LittleEndianReader(b, sizeof b).U32();
  return true;
}

std::unique_ptr<std::uint8_t[]> BinaryFileReader::ReadAll(std::uint64_t& length) {
  length = 0;
  if (!file_) return nullptr;
  std::unique_ptr<std::uint8_t[]> data = CFLAllocate(static_cast<std::uint64_t>(size_));
  if (!data || fseeko(file_.get(), 0, SEEK_SET) != 0) return nullptr;
  length = std::fread(data.get(), 1, static_cast<std::size_t>(size_), file_.get());
  return data;
}
