#include "archive/CFLArchiveWriter.h"

#include <limits>

#include "archive/CFLFilterChain.h"

namespace {

constexpr std::uint32_t kChains[] = {
    cfl_filter::kNone,
    cfl_filter::kZlib,
    cfl_filter::kDelta8,
    cfl_filter::kDelta16,
    cfl_filter::kDelta32,
    cfl_filter::kDelta8 | cfl_filter::kZlib,
    cfl_filter::kDelta16 | cfl_filter::kZlib,
    cfl_filter::kDelta32 | cfl_filter::kZlib,
};

void AppendU32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

}  // namespace

std::span<const std::uint32_t> CFLAllFilterChains() { return kChains; }

CFLArchiveWriter::CFLArchiveWriter(std::ostream& out) : out_(out), start_(out.tellp()) {
  if (start_ == std::ostream::pos_type(-1)) Fail("output is not seekable");
  WriteBytes("CFL3", 4);
  WriteU32(0);
  WriteU32(0);
}

bool CFLArchiveWriter::Fail(std::string message) {
  if (error_.empty()) error_ = std::move(message);
  return false;
}

bool CFLArchiveWriter::WriteBytes(const void* bytes, std::uint64_t length) {
  if (!error_.empty()) return false;
  if (written_ + length > std::numeric_limits<std::uint32_t>::max())
    return Fail("archive would exceed 4 GiB");
  out_.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(length));
  if (!out_) return Fail("write failed");
  written_ += length;
  return true;
}

bool CFLArchiveWriter::WriteU32(std::uint32_t value) {
  std::vector<std::uint8_t> bytes;
  AppendU32(bytes, value);
  return WriteBytes(bytes.data(), 4);
}

bool CFLArchiveWriter::WriteSmallestBlock(const std::uint8_t* data, std::uint32_t size,
                                          std::span<const std::uint32_t> candidates,
                                          std::uint32_t& chosen, std::uint32_t& packedSize) {
  std::unique_ptr<std::uint8_t[]> best;
  std::uint32_t bestLength = 0;
  for (const std::uint32_t id : candidates) {
    std::uint32_t length = 0;
    std::unique_ptr<std::uint8_t[]> packed = Pack(data, size, id, length);
    if (packed && (!best || length < bestLength)) {
      best = std::move(packed);
      bestLength = length;
      chosen = id;
    }
  }
  if (!best) return Fail("no filter could pack the data");
  packedSize = bestLength;
  return WriteU32(bestLength) && WriteBytes(best.get(), bestLength);
}

bool CFLArchiveWriter::Add(const std::string& name, const std::uint8_t* data, std::uint32_t size,
                           std::span<const std::uint32_t> candidateFilters,
                           std::uint32_t* chosenFilter, std::uint32_t* packedSize) {
  if (!error_.empty()) return false;
  if (name.size() > 0xFFFF) return Fail("name longer than 65535 bytes: " + name.substr(0, 64) + "...");
  const auto offset = static_cast<std::uint32_t>(written_);
  std::uint32_t chosen = 0, packed = 0;
  if (!WriteSmallestBlock(data, size, candidateFilters, chosen, packed)) return false;
  AppendU32(directory_, size);
  AppendU32(directory_, offset);
  AppendU32(directory_, chosen);
  directory_.push_back(static_cast<std::uint8_t>(name.size()));
  directory_.push_back(static_cast<std::uint8_t>(name.size() >> 8));
  directory_.insert(directory_.end(), name.begin(), name.end());
  if (chosenFilter) *chosenFilter = chosen;
  if (packedSize) *packedSize = packed;
  return true;
}

bool CFLArchiveWriter::Finish(std::span<const std::uint32_t> candidateFilters) {
  if (!error_.empty()) return false;
  if (directory_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return Fail("directory too large");
  const auto directoryOffset = static_cast<std::uint32_t>(written_);
  std::uint32_t chosen = 0, packed = 0;
  if (!WriteU32(0)) return false;
  const std::ostream::pos_type filterPosition = start_ + std::streamoff(directoryOffset);
  if (!WriteSmallestBlock(directory_.data(), static_cast<std::uint32_t>(directory_.size()),
                          candidateFilters, chosen, packed))
    return false;
  const std::ostream::pos_type end = out_.tellp();
  std::vector<std::uint8_t> header;
  AppendU32(header, directoryOffset);
  AppendU32(header, static_cast<std::uint32_t>(directory_.size()));
  std::vector<std::uint8_t> filter;
  AppendU32(filter, chosen);
  out_.seekp(filterPosition);
  out_.write(reinterpret_cast<const char*>(filter.data()), 4);
  out_.seekp(start_ + std::streamoff(4));
  out_.write(reinterpret_cast<const char*>(header.data()), 8);
  out_.seekp(end);
  if (!out_) return Fail("write failed");
  return true;
}
