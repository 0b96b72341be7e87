// The filter chain: how a compound filter id names the filters of a packed block
// and in which order they run. Bits 24-31 name an outer transform (none exists,
// so any value there fails), bits 0-15 the compressor (falling back to bits 0-7
// when no filter has the 16-bit value), bits 16-23 the delta transform.
// Unpacking runs outer, compressor, delta; packing runs the reverse.
// The caller keeps its input buffer; results are new buffers owned by the caller.
#pragma once

#include <cstdint>
#include <memory>

// Compound ids of the chains an archive writer uses.
namespace cfl_filter {
constexpr std::uint32_t kNone = 0x00000000;
constexpr std::uint32_t kZlib = 0x00000001;
constexpr std::uint32_t kDelta8 = 0x00010000;
constexpr std::uint32_t kDelta16 = 0x00020000;
constexpr std::uint32_t kDelta32 = 0x00030000;
}  // namespace cfl_filter

// Unpacked bytes, or null when a filter is missing or a stage fails.
// `unpackedLength` gets the length of the result (0 on failure).
std::unique_ptr<std::uint8_t[]> Unpack(const std::uint8_t* packed, std::uint32_t packedLength,
                                       std::uint32_t compoundId, std::uint32_t& unpackedLength);
std::unique_ptr<std::uint8_t[]> Unpack(const std::uint8_t* packed, std::uint32_t packedLength,
                                       std::uint32_t compoundId);

// The packed block for `compoundId`, or null (an unknown filter, or a failed stage).
std::unique_ptr<std::uint8_t[]> Pack(const std::uint8_t* data, std::uint32_t length,
                                     std::uint32_t compoundId, std::uint32_t& packedLength);
