#include "archive/CFLRH_Delta16.h"

#include "archive/DeltaCoding.h"

CFLRH_Delta16::CFLRH_Delta16() : CFLResourceFilter("16-bit delta encoding", "Delta16", 0x00020000) {}

void CFLRH_Delta16::Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                     std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  delta_coding::Encode<std::uint16_t>(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}

void CFLRH_Delta16::Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                     std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  delta_coding::Decode<std::uint16_t>(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}
