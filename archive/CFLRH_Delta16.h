// 16-bit delta encoding over little-endian 16-bit words; see DeltaCoding.h for the layout.
// Registered under id 0x00020000 (a delta transform within a compound id).
#pragma once

#include "archive/CFLResourceFilter.h"

class CFLRH_Delta16 final : public CFLResourceFilter {
 public:
  CFLRH_Delta16();
  void Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
  void Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
};
