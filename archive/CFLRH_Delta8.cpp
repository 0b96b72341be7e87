#include "archive/CFLRH_Delta8.h"

#include "archive/DeltaCoding.h"

CFLRH_Delta8::CFLRH_Delta8() : CFLResourceFilter("8-bit delta encoding", "Delta8", 0x00010000) {}

void CFLRH_Delta8::Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                     std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  delta_coding::Encode<std::uint8_t>(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}

void CFLRH_Delta8::Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                     std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  delta_coding::Decode<std::uint8_t>(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}
