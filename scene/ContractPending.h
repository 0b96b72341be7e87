// Development scaffold: marks a scene function whose implementation has not been
// merged yet. Every use is replaced before the scene work lands.
#pragma once

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void ContractPending(const char* what) {
  std::fprintf(stderr, "scene scaffold: %s is not built yet\n", what);
  std::abort();
}
