// libFuzzer entry shared by every target: the target's header and function are
// named at build time (fuzz/FuzzTargets.cmake), so the fuzzer and the corpus
// replay run exactly the same code on each input.
#include <cstddef>
#include <cstdint>

#include FUZZ_HEADER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FUZZ_FUNCTION(data, size);
  return 0;
}
