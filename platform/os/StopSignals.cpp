// SIGTERM and SIGINT as a request to stop, read by the frame loop.
#include <signal.h>

#include <csignal>

#include "platform/os/oshost.h"

namespace {
volatile std::sig_atomic_t stopSignalled = 0;

extern "C" void OnStopSignal(int) { stopSignalled = 1; }
}  // namespace

void OsWatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool OsStopSignalled() { return stopSignalled != 0; }
