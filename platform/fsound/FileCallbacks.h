// The five file operations a stream reads through: the ones registered with
// FSOUND_File_SetCallbacks, or the library's own disk access when none are.
// Internal to platform/fsound.
#pragma once

#include "platform/fsound/fmod.h"

struct FileCallbacks {
  FSOUND_OPENCALLBACK open = nullptr;
  FSOUND_CLOSECALLBACK close = nullptr;
  FSOUND_READCALLBACK read = nullptr;
  FSOUND_SEEKCALLBACK seek = nullptr;
  FSOUND_TELLCALLBACK tell = nullptr;

  bool complete() const { return open && close && read && seek && tell; }
};

// Plain disk files through the C library, named through a HandleTable since a
// pointer does not fit the callbacks' 32-bit handle. Safe from any thread.
FileCallbacks DiskFileCallbacks();
