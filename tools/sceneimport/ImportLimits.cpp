#include "tools/sceneimport/ImportLimits.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace sceneimport {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Written once before the limit is set; the signal handler only reads it.
char timeoutMessage[512];

void OnCpuLimit(int) {
  ssize_t written = write(STDERR_FILENO, timeoutMessage, std::strlen(timeoutMessage));
  (void)written;
  _exit(1);
}

}  // namespace

std::string OutOfMemoryMessage() {
  return "the model needs more memory than an import may take (" + std::to_string(kImportMemoryBytes >> 30) +
         " GiB): it is damaged or made to exhaust memory";
}

void ApplyImportLimits(const std::string& input) {
  std::string message = "sceneimport: " + input + ": reading took more than " + std::to_string(kImportCpuSeconds) +
                        " seconds of processor time: refused as damaged or hostile\n";
  std::strncpy(timeoutMessage, message.c_str(), sizeof timeoutMessage - 2);
  timeoutMessage[sizeof timeoutMessage - 2] = '\n';
  struct sigaction action {};
  action.sa_handler = OnCpuLimit;
  sigaction(SIGXCPU, &action, nullptr);
  rlimit cpu{kImportCpuSeconds, kImportCpuSeconds + 5};
  rlimit current{};
  if (getrlimit(RLIMIT_CPU, &current) == 0 && current.rlim_max != RLIM_INFINITY && current.rlim_max < cpu.rlim_max)
    cpu = {std::min<rlim_t>(cpu.rlim_cur, current.rlim_max), current.rlim_max};
  setrlimit(RLIMIT_CPU, &cpu);
  if (kSanitized) return;
  rlimit memory{kImportMemoryBytes, kImportMemoryBytes};
  if (getrlimit(RLIMIT_AS, &current) == 0 && current.rlim_max != RLIM_INFINITY && current.rlim_max < memory.rlim_max)
    memory = {current.rlim_max, current.rlim_max};
  setrlimit(RLIMIT_AS, &memory);
}

void KeepFreedMemory() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

}  // namespace sceneimport
