// The high-resolution counter: the monotonic clock in nanoseconds, or the
// virtual counter of capture runs, which moves only when told to.
#include <ctime>

#include "platform/os/oshost.h"
#include "platform/os/windows.h"

namespace {
bool virtualInUse = false;
LONGLONG virtualFrequency = 1;
LONGLONG virtualCount = 0;
}  // namespace

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (count == nullptr) return FALSE;
  if (virtualInUse) {
    count->QuadPart = virtualCount;
    return TRUE;
  }
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  count->QuadPart = static_cast<LONGLONG>(now.tv_sec) * 1000000000LL + now.tv_nsec;
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (frequency == nullptr) return FALSE;
  frequency->QuadPart = virtualInUse ? virtualFrequency : 1000000000LL;
  return TRUE;
}

void OsUseVirtualCounter(LONGLONG frequency) {
  virtualInUse = true;
  virtualFrequency = frequency > 0 ? frequency : 1;
  virtualCount = 0;
}

void OsAdvanceVirtualCounter(LONGLONG ticks) { virtualCount += ticks; }
bool OsVirtualCounterInUse() { return virtualInUse; }
