// 8-bit delta encoding over single bytes; see DeltaCoding.h for the layout.
// Registered under id 0x00010000 (a delta transform within a compound id).
#pragma once

#include "archive/CFLResourceFilter.h"

class CFLRH_Delta8 final : public CFLResourceFilter {
 public:
  CFLRH_Delta8();
  void Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
  void Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
};
