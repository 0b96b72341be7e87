// The packed resource archive: one or more archive images (a file of its own, or
// an image appended to another file behind an 8-byte trailer), their merged
// directory, and reads of whole resources unpacked through their filter chain.
// Failures are silent (false, 0 or no buffer); the loaders decide what to report.
#pragma once

#include <cstdint>
#include <memory>

class CFLArchive {
 public:
  CFLArchive();
  ~CFLArchive();
  CFLArchive(const CFLArchive&) = delete;
  CFLArchive& operator=(const CFLArchive&) = delete;

  // Opens the archive image at `start` in the file at `path`, or behind its trailer.
  bool Open(const char* path, std::int32_t start = 0);
  bool Exists(const char* name) const;
  std::uint32_t GetSize(const char* name) const;
  // A new buffer owned by the caller, or null; `size` gets the entry's size.
  std::unique_ptr<std::uint8_t[]> Read(const char* name, std::uint32_t& size) const;
  std::unique_ptr<std::uint8_t[]> ReadWhole(const char* name) const;
  // Copies min(size, capacity) unpacked bytes; 0 on any failure.
  std::int32_t ReadInto(const char* name, void* destination, std::int32_t capacity) const;
};

// The one program-wide archive. The shell owns it and registers it here at start-up
// (and clears it at shutdown); loaders reach it through this accessor. Null means
// "no archive": every loader then reads loose files.
CFLArchive* ProgramArchive();
void SetProgramArchive(CFLArchive* archive);
