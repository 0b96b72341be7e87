// libFuzzer entry: arbitrary bytes loaded, prepared and drawn as a scene file.
#include <cstddef>
#include <cstdint>

#include "fuzz/SceneFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LoadSceneBytes(data, size);
  return 0;
}
