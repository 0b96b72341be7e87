// Writes one archive image to a stream: the 12-byte header, then each resource's
// packed block in the order added, then the packed directory, and finally the
// header's directory fields. Offsets count from the stream position at
// construction, so an image may follow other bytes. Each resource may be given
// several candidate filter chains; the one giving the smallest block is stored.
// The writer does not remove repeated names: a reader lets the later one win.
// Not here: reading (CFLArchive.h), trailers (the caller appends those).
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

class CFLArchiveWriter {
 public:
  // `out` must stay alive and seekable until Finish; the header is written now.
  explicit CFLArchiveWriter(std::ostream& out);

  // Packs and writes one resource. False (see Error) when the name is longer than
  // 65535 bytes, the image would pass 4 GiB, every chain fails, or writing fails.
  // `chosenFilter` and `packedSize` (when given) report the block stored.
  bool Add(const std::string& name, const std::uint8_t* data, std::uint32_t size,
           std::span<const std::uint32_t> candidateFilters, std::uint32_t* chosenFilter = nullptr,
           std::uint32_t* packedSize = nullptr);
  bool Add(const std::string& name, const std::uint8_t* data, std::uint32_t size,
           std::uint32_t filterId) {
    return Add(name, data, size, std::span<const std::uint32_t>(&filterId, 1));
  }
  // Writes the directory packed with the smallest of `candidateFilters` and completes
  // the header; the stream is left at the end of the image.
  bool Finish(std::span<const std::uint32_t> candidateFilters);

  const std::string& Error() const { return error_; }
  // Bytes of the image written so far.
  std::uint64_t Size() const { return written_; }

 private:
  bool Fail(std::string message);
  bool WriteBytes(const void* bytes, std::uint64_t length);
  bool WriteU32(std::uint32_t value);
  // Writes the smallest packing of `data` as length + bytes; returns its filter id.
  bool WriteSmallestBlock(const std::uint8_t* data, std::uint32_t size,
                          std::span<const std::uint32_t> candidates, std::uint32_t& chosen,
                          std::uint32_t& packedSize);

  std::ostream& out_;
  std::ostream::pos_type start_;
  std::uint64_t written_ = 0;
  std::vector<std::uint8_t> directory_;
  std::string error_;
};

// All compound ids an archive writer may use, for trying every chain.
std::span<const std::uint32_t> CFLAllFilterChains();
