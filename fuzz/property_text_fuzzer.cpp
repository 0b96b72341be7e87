// libFuzzer entry: arbitrary bytes parsed as property text and built into animations.
#include <cstddef>
#include <cstdint>

#include "fuzz/PropertyTextFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ParsePropertyTextBytes(data, size);
  return 0;
}
