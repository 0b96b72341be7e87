// The packed resource archive: one or more archive images (a file of its own, or
// an image appended to another file behind an 8-byte trailer), their merged
// directory, and reads of whole resources unpacked through their filter chain.
// A later image overrides names of earlier ones; a later entry of one directory
// overrides an earlier one. Names are exact byte strings (no case folding, no
// slash conversion). Every offset and length read from a file is checked against
// the file and the unpacked directory; a damaged archive gives false, 0 or no
// buffer. Failures are silent: the loaders decide what to report.
// Not here: writing archives (CFLArchiveWriter.h). Used from one thread.
#pragma once

#include <cstdint>
#include <forward_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// One opened archive image; files are reopened by `path` for every read.
struct CFLArchiveFile {
  std::string path;
  std::int64_t base = 0;  // position of the image's magic; image offsets count from here
};

// One resource name of the merged directory.
struct CFLEntry {
  std::uint32_t filterId = 0;  // compound filter id of the packed block
  std::uint32_t size = 0;      // unpacked size in bytes, as the directory states it
  std::uint32_t offset = 0;    // position of the packed block, counted from the image's base
  const CFLArchiveFile* file = nullptr;  // the image holding the block (not owned)
};

// What a listing shows about one entry.
struct CFLEntryInfo {
  std::string name;
  std::uint32_t size = 0;
  std::uint32_t packedSize = 0;  // length of the packed block; 0 when it cannot be read
  std::uint32_t filterId = 0;
};

class CFLArchive {
 public:
  CFLArchive();
  ~CFLArchive();
  CFLArchive(const CFLArchive&) = delete;
  CFLArchive& operator=(const CFLArchive&) = delete;

  // Opens the archive image at `start` in the file at `path`, or behind its trailer.
  // False, with the archive unchanged, when no readable image is found.
  bool Open(const char* path, std::int32_t start = 0);
  bool Exists(const char* name) const;
  std::uint32_t GetSize(const char* name) const;
  // A new buffer owned by the caller, or null; `size` gets the entry's size (0 when
  // absent). A buffer is returned only when it holds at least `size` bytes.
  std::unique_ptr<std::uint8_t[]> Read(const char* name, std::uint32_t& size) const;
  std::unique_ptr<std::uint8_t[]> ReadWhole(const char* name) const;
  // Copies min(size, capacity) unpacked bytes; 0 on any failure or a negative capacity.
  std::int32_t ReadInto(const char* name, void* destination, std::int32_t capacity) const;

  // Every entry, sorted by name, with the packed length of its block (for tools).
  std::vector<CFLEntryInfo> List() const;

  // The name hash: h = c ^ ((h << 21) + (h >> 11)) over the bytes, arithmetic shift,
  // wrapping at 32 bits.
  static std::int32_t Hash(const char* name, std::size_t length);

 private:
  struct NameHash {
    std::size_t operator()(const std::string& name) const {
      return static_cast<std::uint32_t>(Hash(name.data(), name.size()));
    }
  };

  const CFLEntry* Find(const char* name) const;
  void ParseDirectory(const std::uint8_t* directory, std::uint32_t length,
                      const CFLArchiveFile* file);

  std::forward_list<CFLArchiveFile> files_;  // most recently opened first
  std::unordered_map<std::string, CFLEntry, NameHash> entries_;
};

// The one program-wide archive. The shell owns it and registers it here at start-up
// (and clears it at shutdown); loaders reach it through this accessor. Null means
// "no archive": every loader then reads loose files.
CFLArchive* ProgramArchive();
void SetProgramArchive(CFLArchive* archive);
