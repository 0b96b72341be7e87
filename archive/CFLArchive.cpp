#include "archive/CFLArchive.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "archive/BinaryFileReader.h"
#include "archive/CFLFilterChain.h"
#include "archive/CFLResourceFilter.h"
#include "platform/os/LittleEndian.h"

namespace {

constexpr std::uint8_t kMagic[4] = {'C', 'F', 'L', '3'};
constexpr std::uint8_t kEndMagic[4] = {'3', 'C', 'F', 'L'};
constexpr std::uint32_t kEntryHeader = 14;

bool MagicAt(BinaryFileReader& file, std::int64_t position, const std::uint8_t (&magic)[4]) {
  std::uint8_t bytes[4];
  return file.ReadAt(position, bytes, 4) && std::memcmp(bytes, magic, 4) == 0;
}

// Where the image's magic lies: at `start`, or where the trailer points. -1: nowhere.
std::int64_t FindBase(BinaryFileReader& file, std::int64_t start) {
  if (MagicAt(file, start, kMagic)) return start;
  const std::int64_t size = file.Size();
  std::uint32_t distance = 0;
  if (size < 8 || !MagicAt(file, size - 4, kEndMagic) || !file.ReadU32At(size - 8, distance) ||
      distance > size)
    return -1;
  const std::int64_t base = size - distance;
  return MagicAt(file, base, kMagic) ? base : -1;
}

// A packed block: its length, then that many bytes, all inside the file.
std::unique_ptr<std::uint8_t[]> ReadBlock(BinaryFileReader& file, std::int64_t position,
                                          std::uint32_t& length) {
  length = 0;
  std::uint32_t packedLength = 0;
  if (!file.ReadU32At(position, packedLength) ||
      packedLength > static_cast<std::uint64_t>(file.Size() - position - 4))
    return nullptr;
  std::unique_ptr<std::uint8_t[]> block = CFLAllocate(packedLength);
  if (!block || !file.ReadAt(position + 4, block.get(), packedLength)) return nullptr;
  length = packedLength;
  return block;
}

}  // namespace

CFLArchive::CFLArchive() = default;
CFLArchive::~CFLArchive() = default;

std::int32_t CFLArchive::Hash(const char* name, std::size_t length) {
  std::uint32_t h = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint32_t c = static_cast<unsigned char>(name[i]);
    const std::uint32_t shiftedRight =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(h) >> 11);
    h = c ^ ((h << 21) + shiftedRight);
  }
  return static_cast<std::int32_t>(h);
}

bool CFLArchive::Open(const char* path, std::int32_t start) {
  BinaryFileReader file(path);
  if (!file.IsOpen()) return false;
  const std::int64_t base = FindBase(file, start);
  if (base < 0) return false;
  std::uint32_t directoryOffset = 0, directorySizeBits = 0, directoryFilter = 0;
  if (!file.ReadU32At(base + 4, directoryOffset) || !file.ReadU32At(base + 8, directorySizeBits))
    return false;
  const std::int64_t directoryPosition = base + directoryOffset;
  std::uint32_t packedLength = 0;
  std::unique_ptr<std::uint8_t[]> packed;
  if (!file.ReadU32At(directoryPosition, directoryFilter) ||
      !(packed = ReadBlock(file, directoryPosition + 4, packedLength)))
    return false;

  std::uint32_t unpackedLength = 0;
  std::unique_ptr<std::uint8_t[]> directory =
      Unpack(packed.get(), packedLength, directoryFilter, unpackedLength);
  if (!directory) return false;
  packed.reset();

  // Reads reopen the file later, possibly after the current folder changed.
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  files_.push_front(CFLArchiveFile{error ? std::string(path) : absolute.string(), base});
  const auto directorySize = static_cast<std::int32_t>(directorySizeBits);
  if (directorySize > 0) {
    ParseDirectory(directory.get(),
                   std::min(static_cast<std::uint32_t>(directorySize), unpackedLength),
                   &files_.front());
  }
  return true;
}

void CFLArchive::ParseDirectory(const std::uint8_t* directory, std::uint32_t length,
                                const CFLArchiveFile* file) {
  LittleEndianReader in(directory, length);
  while (in.Remaining() >= kEntryHeader) {
    CFLEntry entry;
    entry.size = in.U32();
    entry.offset = in.U32();
    entry.filterId = in.U32();
    const std::uint16_t nameLength = in.U16();
    const std::uint8_t* name = in.Take(nameLength);
    if (!name) break;
    entry.file = file;
    entries_.insert_or_assign(std::string(reinterpret_cast<const char*>(name), nameLength), entry);
  }
}

const CFLEntry* CFLArchive::Find(const char* name) const {
  if (!name) return nullptr;
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : &it->second;
}

bool CFLArchive::Exists(const char* name) const { return Find(name) != nullptr; }

std::uint32_t CFLArchive::GetSize(const char* name) const {
  const CFLEntry* entry = Find(name);
  return entry ? entry->size : 0;
}

std::unique_ptr<std::uint8_t[]> CFLArchive::Read(const char* name, std::uint32_t& size) const {
  size = 0;
  const CFLEntry* entry = Find(name);
  if (!entry) return nullptr;
  size = entry->size;
  BinaryFileReader file(entry->file->path.c_str());
  std::uint32_t packedLength = 0;
  std::unique_ptr<std::uint8_t[]> packed =
      ReadBlock(file, entry->file->base + entry->offset, packedLength);
  if (!packed) return nullptr;
  std::uint32_t unpackedLength = 0;
  std::unique_ptr<std::uint8_t[]> data =
      Unpack(packed.get(), packedLength, entry->filterId, unpackedLength);
  // Callers take the directory's size as the length, so a shorter result is damage.
  if (!data || unpackedLength < entry->size) return nullptr;
  return data;
}

std::unique_ptr<std::uint8_t[]> CFLArchive::ReadWhole(const char* name) const {
  std::uint32_t size = 0;
  return Read(name, size);
}

std::int32_t CFLArchive::ReadInto(const char* name, void* destination,
                                  std::int32_t capacity) const {
  if (capacity < 0 || (capacity > 0 && !destination)) return 0;
  std::uint32_t size = 0;
  std::unique_ptr<std::uint8_t[]> data = Read(name, size);
  if (!data) return 0;
  const std::uint32_t count = std::min(size, static_cast<std::uint32_t>(capacity));
  if (count) std::memcpy(destination, data.get(), count);
  return static_cast<std::int32_t>(count);
}

std::vector<CFLEntryInfo> CFLArchive::List() const {
  std::vector<CFLEntryInfo> list;
  list.reserve(entries_.size());
  for (const auto& [name, entry] : entries_) {
    BinaryFileReader file(entry.file->path.c_str());
    std::uint32_t packedSize = 0;
    if (!file.ReadU32At(entry.file->base + entry.offset, packedSize)) packedSize = 0;
    list.push_back(CFLEntryInfo{name, entry.size, packedSize, entry.filterId});
  }
  std::sort(list.begin(), list.end(),
            [](const CFLEntryInfo& a, const CFLEntryInfo& b) { return a.name < b.name; });
  return list;
}
