// Start-up and shutdown of the sound library, done by the script player when it
// is created and destroyed, and the texts of the library's error codes. Start-up
// failures end the process with their message (status 0). Frame-loop thread.
#pragma once

// Checks the library's version, chooses the output, driver and buffer sizes,
// initialises it at 44100 Hz with 32 channels and routes its file reading through
// the memory files (disk first, then the archive). Calls pair with
// CloseSoundSystem; while one pair is open, further starts only count (a program
// has one script player; tests may hold several).
void StartSoundSystem();
// Closes the library at the last close; every music player must be gone by then.
void CloseSoundSystem();

// A start for the length of a scope, closed when it goes.
class SoundSystemLease {
 public:
  SoundSystemLease() { StartSoundSystem(); }
  ~SoundSystemLease() { CloseSoundSystem(); }
  SoundSystemLease(const SoundSystemLease&) = delete;
  SoundSystemLease& operator=(const SoundSystemLease&) = delete;
};

// The message shown for an error code of FSOUND_GetError.
const char* SoundErrorText(int code);

// Shows `text` under "MP3Player Error", closes the library and ends the process.
[[noreturn]] void SoundSystemFatal(const char* text);
