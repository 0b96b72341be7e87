#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "app/Shell.h"

namespace {

[[noreturn]] void EndWith(const std::string& message) {
  try {
    ShowFatalError(message);
  } catch (...) {
    // Even the designed fatal path failed (memory): say it without allocating.
    std::fputs("demo: the show ended on an error it could not report fully\n", stderr);
    std::_Exit(5);
  }
}

}  // namespace

int RunGuarded(const std::function<int()>& run) {
  try {
    return run();
  } catch (const std::bad_alloc&) {
    EndWith("Out of memory");
  } catch (const std::exception& error) {
    EndWith(std::string("Unexpected error: ") + error.what());
  } catch (...) {
    EndWith("Unexpected error");
  }
}
