// Delta encoding over little-endian words of 8, 16 or 32 bits (see DeltaCoding.h
// for the layout), one filter per word size. Registered under ids 0x00010000,
// 0x00020000 and 0x00030000 (a delta transform within a compound id).
#pragma once

#include <bit>
#include <cstdint>

#include "archive/CFLResourceFilter.h"

template <typename Word>
class CFLRH_Delta final : public CFLResourceFilter {
 public:
  // 1, 2 or 3 for 8, 16 or 32-bit words: the filter's place in the compound id.
  static constexpr std::uint32_t kOrder = std::bit_width(sizeof(Word));
  static_assert(sizeof(Word) == 1u << (kOrder - 1) && kOrder <= 3);

  CFLRH_Delta();
  void Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
  void Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
              std::uint32_t sourceLength, std::uint32_t& destinationLength) const override;
  bool DecodeInPlace(std::uint8_t* data, std::uint32_t length) const override;
};

using CFLRH_Delta8 = CFLRH_Delta<std::uint8_t>;
using CFLRH_Delta16 = CFLRH_Delta<std::uint16_t>;
using CFLRH_Delta32 = CFLRH_Delta<std::uint32_t>;

extern template class CFLRH_Delta<std::uint8_t>;
extern template class CFLRH_Delta<std::uint16_t>;
extern template class CFLRH_Delta<std::uint32_t>;
