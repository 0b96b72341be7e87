// Helpers for the archive tests: a scratch folder removed at the end, file
// writing and reading, and archive images built in memory.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/CFLArchiveWriter.h"

namespace archive_test {

using Bytes = std::vector<std::uint8_t>;

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "cfltestXXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFile(const std::string& path, const std::string& text) {
  WriteFile(path, Bytes(text.begin(), text.end()));
}

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct Resource {
  std::string name;
  Bytes data;
  std::uint32_t filterId;
};

// An archive image with the resources in order and a zlib-packed directory.
inline Bytes BuildImage(const std::vector<Resource>& resources,
                        std::uint32_t directoryFilter = 0x00000001) {
  std::stringstream out(std::ios::in | std::ios::out | std::ios::binary);
  CFLArchiveWriter writer(out);
  for (const Resource& r : resources)
    writer.Add(r.name, r.data.data(), static_cast<std::uint32_t>(r.data.size()), r.filterId);
  writer.Finish(std::span<const std::uint32_t>(&directoryFilter, 1));
  const std::string s = out.str();
  return Bytes(s.begin(), s.end());
}

// The 8-byte trailer for an image of `imageSize` bytes placed right before it.
inline Bytes Trailer(std::uint32_t imageSize) {
  const std::uint32_t n = imageSize + 8;
  return Bytes{std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24),
               '3', 'C', 'F', 'L'};
}

inline void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

// Deterministic bytes with some repetition, so every filter has work to do.
inline Bytes PatternBytes(std::size_t n, std::uint32_t seed = 1) {
  Bytes b(n);
  std::uint32_t x = seed * 2654435761u + 12345;
  for (std::size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345;
    b[i] = static_cast<std::uint8_t>((i % 7 == 0) ? (x >> 24) : (i * 3 + (x >> 30)));
  }
  return b;
}

}  // namespace archive_test
