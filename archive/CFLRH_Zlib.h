// zlib compression. A block is the unpacked length (4 bytes, little-endian)
// followed by a zlib stream. Decoding accepts a stream cut short of its 4-byte
// check value as long as it fills the unpacked length, as older archives hold such
// streams. The unpacked length is trusted only up to what the stream could
// possibly produce and up to CFLRH_Zlib::kMaxUnpacked; beyond that decoding fails.
// Registered under id 0x00000001.
#pragma once

#include "archive/CFLResourceFilter.h"

class CFLRH_Zlib final : public CFLResourceFilter {
 public:
  // Largest unpacked length a block may declare (1 GiB).
  static constexpr std::uint32_t kMaxUnpacked = 1u << 30;

  CFLRH_Zlib();
  // The reported length is the whole block: prefix and complete stream.
  void Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
  void Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
};
