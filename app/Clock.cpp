#include "app/Program.h"

std::uint32_t RawMilliseconds() {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  if (program.clockFrequency <= 0) return 0;
  // Truncated to 32 bits, so the clock wraps after 2^32 ms like the original.
  return static_cast<std::uint32_t>((count.QuadPart * 1000) / program.clockFrequency);
}

void StartClock() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  program.clockFrequency = frequency.QuadPart;
  program.clock.start(RawMilliseconds());
}

float GetTime() { return static_cast<float>(program.clock.now(RawMilliseconds())); }
