// The program-wide state of the shell, one instance each, created and destroyed
// only by the shell, and the shell's steps (start-up, frame loop, shutdown).
// Everything runs on the entry thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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
  std::uint32_t clockZero = 0;           // ms count when the clock started
};

extern ProgramState program;

constexpr const char* kCaption = "Demo";
constexpr std::uint32_t kScreenWidth = 1024;
constexpr std::uint32_t kScreenHeight = 768;

// Clock: milliseconds since StartClock, read afresh from the performance counter.
void StartClock();
float GetTime();

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
// The second archive path tried for the executable at `path`.
std::string ArchivePathBeside(const std::string& path);
