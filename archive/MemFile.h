// Memory files: a whole file read into memory at open, then sought and read like a
// buffered stream. A file on disk wins over an archive entry of the same name
// (the program-wide archive, ProgramArchive(); null means none). Every operation
// accepts a null handle and returns its "no handle" result. A handle is used by
// one caller at a time; the operations share nothing but the archive, which is
// only read. Not here: reporting failures (the loaders do).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct MemFile {
  std::unique_ptr<std::uint8_t[]> data;  // the whole file, owned
  std::int32_t position = 0;             // always within 0 .. size
  std::int32_t size = 0;                 // bytes in data
};

// A new handle owned by the caller (release it with MemFileClose), or null when
// `name` is neither a readable disk file nor an archive entry that unpacks.
MemFile* MemFileOpen(const char* name);
// origin 0: from the start, 1: from the position, 2: from the end; other origins
// leave the position. The result is clamped to 0 .. size. Returns 0; 1 without a handle.
int MemFileSeek(MemFile* file, std::int32_t offset, int origin);
// The position; -1 without a handle.
std::int32_t MemFileTell(MemFile* file);
// Copies up to elementSize * count bytes (fewer at the end of the file) and returns
// the number of whole elements copied; 0 without a handle or with elementSize 0.
std::size_t MemFileRead(void* destination, std::size_t elementSize, std::size_t count,
                        MemFile* file);
// Releases the handle and its data; 0, or -1 without a handle.
int MemFileClose(MemFile* file);
