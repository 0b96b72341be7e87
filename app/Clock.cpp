#include "app/Program.h"

namespace {
std::uint32_t Milliseconds(LONGLONG count) {
  // Truncated to 32 bits, so the clock wraps after 2^32 ms like the original.
  return static_cast<std::uint32_t>((count * 1000) / program.clockFrequency);
}
}  // namespace

void StartClock() {
  LARGE_INTEGER frequency{}, count{};
  QueryPerformanceFrequency(&frequency);
  program.clockFrequency = frequency.QuadPart;
  QueryPerformanceCounter(&count);
  program.clockZero = Milliseconds(count.QuadPart);
}

float GetTime() {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  return static_cast<float>(Milliseconds(count.QuadPart) - program.clockZero);
}
