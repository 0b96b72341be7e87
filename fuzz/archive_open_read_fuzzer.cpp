// libFuzzer entry: arbitrary bytes opened and read as an archive file.
#include <cstddef>
#include <cstdint>

#include "fuzz/ArchiveFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  OpenAndReadArchiveBytes(data, size);
  return 0;
}
