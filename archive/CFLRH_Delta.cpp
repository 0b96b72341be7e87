#include "archive/CFLRH_Delta.h"

#include "archive/DeltaCoding.h"

namespace {

constexpr const char* kDescriptions[] = {"8-bit delta encoding", "16-bit delta encoding",
                                         "32-bit delta encoding"};
constexpr const char* kNames[] = {"Delta8", "Delta16", "Delta32"};

using Transform = void (*)(const std::uint8_t*, std::uint8_t*, std::uint32_t);

// Both directions keep the length, so they share one allocate-and-run.
void Run(Transform transform, const std::uint8_t* source,
         std::unique_ptr<std::uint8_t[]>& destination, std::uint32_t sourceLength,
         std::uint32_t& destinationLength) {
  destinationLength = 0;
  destination = CFLAllocate(sourceLength);
  if (!destination) return;
  transform(source, destination.get(), sourceLength);
  destinationLength = sourceLength;
}

}  // namespace

template <typename Word>
CFLRH_Delta<Word>::CFLRH_Delta()
    : CFLResourceFilter(kDescriptions[kOrder - 1], kNames[kOrder - 1], kOrder << 16) {}

template <typename Word>
void CFLRH_Delta<Word>::Encode(const std::uint8_t* source,
                               std::unique_ptr<std::uint8_t[]>& destination,
                               std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  Run(delta_coding::Encode<Word>, source, destination, sourceLength, destinationLength);
}

template <typename Word>
void CFLRH_Delta<Word>::Decode(const std::uint8_t* source,
                               std::unique_ptr<std::uint8_t[]>& destination,
                               std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  Run(delta_coding::Decode<Word>, source, destination, sourceLength, destinationLength);
}

template <typename Word>
bool CFLRH_Delta<Word>::DecodeInPlace(std::uint8_t* data, std::uint32_t length) const {
  delta_coding::Decode<Word>(data, data, length);
  return true;
}

template class CFLRH_Delta<std::uint8_t>;
template class CFLRH_Delta<std::uint16_t>;
template class CFLRH_Delta<std::uint32_t>;
