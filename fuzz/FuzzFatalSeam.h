// The fuzz targets' seam for the designed fatal ends: every message box is thrown
// as FuzzFatal instead of shown, so one process survives any number of damaged
// inputs. The message boxes' standard error copies are left to -close_fd_mask.
#pragma once

struct FuzzFatal {};

// Installs the throwing message-box handler (once; later calls do nothing).
void InstallFuzzFatalSeam();
// Forgets the recorded message boxes, so a long run does not grow.
void ForgetFuzzMessageBoxes();
