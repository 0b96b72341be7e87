// Stored bytes: both directions copy the buffer. Registered under id 0x00000000.
#pragma once

#include "archive/CFLResourceFilter.h"

class CFLRH_None final : public CFLResourceFilter {
 public:
  CFLRH_None();
  void Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
  void Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
};
