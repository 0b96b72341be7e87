#include "archive/CFLRH_None.h"

#include <cstring>

CFLRH_None::CFLRH_None() : CFLResourceFilter("No compression", "None", 0x00000000) {}

void CFLRH_None::Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                        std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  if (sourceLength) std::memcpy(destination.get(), source, sourceLength);
  destinationLength = sourceLength;
}

void CFLRH_None::Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                        std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  Encode(source, destination, sourceLength, destinationLength);
}
