// The page's entry point. The page asks the start-up question itself (its answer is also
// the click browsers want before sound may start) and passes it with the other options;
// the show's end, with its exit status, reaches the page through Module.onExit.
//
// The browser owns the frame loop: the shell starts, then steps one frame each time the
// browser calls back, and finishes when a step says the show is over.
#include <emscripten.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Shell.h"

namespace {

[[noreturn]] void EndPage(int status) {
  std::fflush(nullptr);
  emscripten_force_exit(status);
  __builtin_unreachable();
}

// The page reads the count and the time of the first frame (its load time).
void CountFrame() {
  EM_ASM({
    if (!Module.framesShown) Module.firstFrameAt = performance.now();
    Module.framesShown = (Module.framesShown || 0) + 1;
  });
}

void StepFrame(void* arg) {
  // The loop owns the shell from main on; it is destroyed when the show is over.
  auto* shell = static_cast<Shell*>(arg);
  bool going = false;
  RunGuarded([shell, &going] {
    going = shell->Step();
    return 0;
  });
  CountFrame();
  if (going) return;
  emscripten_cancel_main_loop();
  std::unique_ptr<Shell> owned(shell);
  const int status = RunGuarded([&owned] { return owned->Finish(); });
  owned.reset();
  EndPage(status);
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!commandLine.error.empty()) {
    std::fprintf(stderr, "demo: %s\n", commandLine.error.c_str());
    EndPage(2);
  }
  auto shell = std::make_unique<Shell>(commandLine.options);
  bool started = false;
  RunGuarded([&shell, &started] {
    started = shell->Start();
    return 0;
  });
  if (!started) {
    const int status = RunGuarded([&shell] { return shell->Finish(); });
    shell.reset();
    EndPage(status);
  }
  // A capture runs on its own clock: frames follow each other as fast as they are
  // made. A show on screen takes one frame per animation frame of the browser.
  const bool capturing = !commandLine.options.captureDir.empty();
  emscripten_set_main_loop_arg(StepFrame, shell.release(), 0, false);
  if (capturing) emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
  // main returns; the runtime stays for the loop and ends with the show.
  return 0;
}
