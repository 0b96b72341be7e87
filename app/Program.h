// The program-wide state of the shell, one instance each, created and destroyed
// only by the shell, and the shell's steps (start-up, frame loop, shutdown).
// Everything runs on the entry thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/FrameRate.h"
#include "app/ShowClock.h"
#include "archive/CFLArchive.h"
#include "platform/d3d9/d3d9.h"
#include "platform/os/windows.h"
#include "script/Scripter.h"

struct ProgramState {
  HINSTANCE instance = nullptr;
  std::unique_ptr<CFLArchive> archive;
  bool fullscreen = false;
  HWND mainWindow = nullptr;
  bool quitRequested = false;
  IDirect3D9* direct3d = nullptr;        // one reference, owned
  IDirect3DDevice9* device = nullptr;    // one reference, owned; lent to the Scripter
  std::unique_ptr<Scripter> scripter;
  LONGLONG clockFrequency = 0;           // performance-counter ticks per second
  ShowClock clock;                       // what GetTime reads
  // Options of the run the shell's steps need.
  bool liveControls = false;             // keys pause, seek and reload (not in capture runs)
  bool capturing = false;                // the clock is the capture's virtual counter
  bool showEnded = false;                // a seek ran past the end
  FrameRate frameStep;                   // the frames a seek steps through
  std::uint32_t backBufferWidth = 0;     // 0: the designed size
  std::uint32_t backBufferHeight = 0;
};

extern ProgramState program;

constexpr const char* kCaption = "Demo";
constexpr std::uint32_t kScreenWidth = 1024;
constexpr std::uint32_t kScreenHeight = 768;

// Clock: milliseconds since StartClock, read afresh from the performance counter
// through the show clock (which pauses and seeks).
void StartClock();
float GetTime();
std::uint32_t RawMilliseconds();
// floor(count * 1000 / frequency) modulo 2^32, exact for every count and
// frequency; 0 for a frequency of 0 or less or a negative count.
std::uint32_t CounterMilliseconds(LONGLONG count, LONGLONG frequency);

// Steps `scripter` through the frames of the step rate from clock time `from` up
// to (not including) `target`, without drawing, on the virtual clock; returns
// false when the show ended on the way. Afterwards the clock reads `target`.
bool StepShow(Scripter& scripter, double from, double target);
// Live runs: a seek to clock time `target` (earlier times replay from the start);
// false when the show ended on the way.
bool SeekShow(double target);
void TogglePause();
// A new script player from the start, the old one kept until the new one exists.
void RestartShow();
// Reads the script and its files again and returns to the same time; a failure
// is reported on standard error and the show goes on as it was.
bool ReloadShow();
// The live keys; others do nothing.
void HandleShowKey(WPARAM key);
// Puts the current music where it would have played to at clock time `now`.
void SyncMusic(double now);
// The screen's place in a back buffer of another size: 1024 x 768 scaled with its
// aspect kept, centred, black bars around.
D3DVIEWPORT9 ScreenBox(std::uint32_t width, std::uint32_t height);

// Shows `message` under "Demo", after tearing down what exists; exit status 5.
[[noreturn]] void FatalError(const std::string& message);

// The full-screen question: sets `fullscreen`, or ends the process (status 5 or 10).
void AskFullscreen();
void CreateMainWindow();
void DestroyMainWindow();
void InitDirect3D();
void ReleaseDirect3D();
void StartScript();
void DeleteScript();
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the player's own file as an archive, then the archive file beside it.
void OpenProgramArchive();
// The same for `archive` and the executable at `executablePath`; an archive file
// beside it that exists but does not open is named on standard error.
void OpenArchiveOf(CFLArchive& archive, const std::string& executablePath);
// The second archive path tried for the executable at `path`.
std::string ArchivePathBeside(const std::string& path);
