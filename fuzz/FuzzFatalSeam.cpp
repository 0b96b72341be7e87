#include "fuzz/FuzzFatalSeam.h"

#include "platform/os/oshost.h"

void InstallFuzzFatalSeam() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  OsSetHeadless(true);
  OsSetMessageBoxHandler([](const OsMessageBoxRecord&) -> int { throw FuzzFatal{}; });
}

void ForgetFuzzMessageBoxes() { OsClearShownMessageBoxes(); }
