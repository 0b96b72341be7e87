#include "app/Shell.h"

std::uint32_t CounterMilliseconds(LONGLONG count, LONGLONG frequency) {
  if (frequency <= 0 || count < 0) return 0;
  // count * 1000 overflows 64 bits after about 107 days at 1 GHz; whole seconds
  // and the remainder apart do not. The seconds term wraps modulo 2^64, which
  // keeps its low 32 bits right, and only those are kept.
  const auto c = static_cast<std::uint64_t>(count);
  const auto f = static_cast<std::uint64_t>(frequency);
  const std::uint64_t seconds = c / f;
  const std::uint64_t rest = c % f;  // below f, so rest * 1000 / f is below 1000
  __extension__ using Wide = unsigned __int128;
  const auto fraction = static_cast<std::uint64_t>(Wide{rest} * 1000u / f);
  // Truncated to 32 bits, so the clock wraps after 2^32 ms like the original.
  return static_cast<std::uint32_t>(seconds * 1000u + fraction);
}

std::uint32_t Shell::RawMilliseconds() const {
  LARGE_INTEGER count{};
  QueryPerformanceCounter(&count);
  return CounterMilliseconds(count.QuadPart, clockFrequency);
}

void Shell::StartClock() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  clockFrequency = frequency.QuadPart;
  clock.start(RawMilliseconds());
}

float Shell::GetTime() const { return static_cast<float>(clock.now(RawMilliseconds())); }
