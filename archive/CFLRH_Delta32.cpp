#include "archive/CFLRH_Delta32.h"

#include "archive/DeltaCoding.h"

CFLRH_Delta32::CFLRH_Delta32() : CFLResourceFilter("32-bit delta encoding", "Delta32", 0x00030000) {}

void CFLRH_Delta32::Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                     std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  delta_coding::Encode<std::uint32_t>(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}

void CFLRH_Delta32::Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                     std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  delta_coding::Decode<std::uint32_t>(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}
