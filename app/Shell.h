// The shell: owner of the program-wide objects (the archive, the main window, the
// Direct3D object and device, the glow targets, the sound system, the script
// player and the clock), created by main and lent downwards. Its operations are
// the start-up steps, one frame of the loop and the shutdown steps, with the
// command-line options applied around the designed sequence. Everything runs on
// the entry thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/FrameRate.h"
#include "app/FrameStats.h"
#include "app/ShowClock.h"
#include "archive/CFLArchive.h"
#include "media/SoundSystem.h"
#include "platform/d3d9/d3d9.h"
#include "platform/os/ComOwner.h"
#include "platform/os/windows.h"
#include "scene/GlowTargets.h"
#include "script/Scripter.h"

class Capture;

constexpr const char* kCaption = "Demo";
constexpr std::uint32_t kScreenWidth = 1024;
constexpr std::uint32_t kScreenHeight = 768;

struct BackBufferSize {
  int width = 0;
  int height = 0;
  bool operator==(const BackBufferSize&) const = default;
};

struct ShellOptions {
  std::optional<bool> fullscreen;  // set: the full-screen question is answered in advance
  bool headless = false;
  std::string captureDir;          // empty: no capture
  FrameRate fps;                   // of a capture run; the step of a live seek
  std::optional<double> seconds;   // a capture writes this many seconds of frames; a live run stops
  std::optional<double> start;     // script time (s) the show begins at
  bool loop = false;
  std::optional<BackBufferSize> size;  // back buffer; the screen is boxed inside it
  bool framesPng = false;          // a capture writes PNG frames and audio.wav, not a video
  std::string video;               // the video file of a capture; empty: DIR/show.mp4
  bool stats = false;
  std::string dataDir;
};

class Shell {
 public:
  explicit Shell(ShellOptions options = {});
  // Shuts down whatever still exists, in the designed order.
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // Start-up: the options applied, then the designed steps in order, up to the
  // clock's start and the --start position. False when the run cannot begin
  // (Finish then gives its exit status).
  bool Start();
  // One frame: a stop signal, at most one window message, clear, the script
  // player's items and drawing, present (and with it the capture of the frame),
  // then the loop, --seconds, statistics and title. True while the show goes on.
  // Never waits beyond what Present takes, so a browser can call it once a frame.
  bool Step();
  // Shutdown in the designed order and the closing report; the exit status.
  int Finish();

  // The designed steps, in start-up order.
  void OpenProgramArchive();
  void AskFullscreen();  // sets `fullscreen`, or ends the process (status 5 or 10)
  void CreateMainWindow();
  void InitDirect3D();
  void StartScript();
  void StartClock();
  // ... and in shutdown order. Each does nothing for what does not exist.
  void DeleteScript();
  void ReleaseDirect3D();
  void DestroyMainWindow();
  // Tears down what exists, shows `message` under "Demo" and ends with status 5.
  [[noreturn]] void FatalError(const std::string& message);

  // Milliseconds since StartClock through the show clock (pauses and seeks).
  float GetTime() const;
  std::uint32_t RawMilliseconds() const;

  // The main window's procedure; reaches its shell through the window's user data.
  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Live controls (keys of a windowed or full-screen run, never of a capture).
  void HandleShowKey(WPARAM key);
  void TogglePause();
  // A seek to clock time `target` (earlier times replay from the start); false
  // when the show ended on the way.
  bool SeekShow(double target);
  // A new script player from the start, the old one kept until the new one exists.
  void RestartShow();
  // Reads the script and its files again and returns to the same time; a failure
  // is reported on standard error and the show goes on as it was.
  bool ReloadShow();
  // Steps `player` through the frames of the step rate from clock time `from` up
  // to (not including) `target`, without drawing, on the virtual clock; false
  // when the show ended on the way. Afterwards the clock reads `target`.
  bool StepShow(Scripter& player, double from, double target);
  // Puts the current music where it would have played to at clock time `now`.
  void SyncMusic(double now);

  // The program-wide objects, one each, created and destroyed only here.
  HINSTANCE instance = nullptr;
  std::unique_ptr<CFLArchive> archive;
  bool fullscreen = false;
  HWND mainWindow = nullptr;
  bool quitRequested = false;
  ComOwner<IDirect3D9> direct3d;
  ComOwner<IDirect3DDevice9> device;  // lent to the script player and all it makes
  std::unique_ptr<SoundSystemLease> sound;
  std::unique_ptr<GlowTargetsLease> glowTargets;
  std::unique_ptr<Scripter> scripter;
  LONGLONG clockFrequency = 0;  // performance-counter ticks per second
  ShowClock clock;

  // Options of the run the steps need.
  bool liveControls = false;  // keys pause, seek and reload (not in capture runs)
  FrameRate frameStep;        // the frames a seek steps through
  std::uint32_t backBufferWidth = 0;  // 0: the designed size
  std::uint32_t backBufferHeight = 0;

 private:
  std::unique_ptr<Scripter> NewScripter();
  void Replace(std::unique_ptr<Scripter> fresh);
  bool StartAt(double start);
  // The show again from the start, or from --start when one was given.
  void LoopShow();
  void ClearFrame();
  void AfterFrame(std::uint32_t first, std::uint32_t end);
  void ShowTitle(double scriptMs, double fps);
  void Shutdown();

  ShellOptions options_;
  std::unique_ptr<Capture> capture_;
  bool showEnded_ = false;  // a seek ran past the end
  bool classRegistered_ = false;
  bool hostingStarted_ = false;
  bool cursorHidden_ = false;
  bool finished_ = false;
  int failedStatus_ = 0;  // Start refused the run
  // The frame loop's own bookkeeping.
  FrameStats stats_;
  std::uint64_t frames_ = 0;
  double showLength_ = 0;
  double passStartMs_ = 0;  // clock time the pass now playing began at
  double loopedMs_ = 0;     // clock time played in the passes before it
  std::chrono::steady_clock::time_point runStart_, lastFrame_, lastTitle_;
  int framesSinceTitle_ = 0;
};

// Runs the show through a Shell; returns the process exit status of an orderly end.
int RunShell(const ShellOptions& options);

// Runs `run` and returns its result; an exception that would end the process
// (out of memory, above all) takes the designed fatal path instead: the message
// under "Demo" on standard error and in a box, exit status 5. A shell inside has
// shut down on the way out.
int RunGuarded(const std::function<int()>& run);

// Writes `message` to the diagnostic output, shows it in a box under "Demo" and
// ends the process with status 5.
[[noreturn]] void ShowFatalError(const std::string& message);

// The screen's place in a back buffer of another size: 1024 x 768 scaled with its
// aspect kept, centred, black bars around.
D3DVIEWPORT9 ScreenBox(std::uint32_t width, std::uint32_t height);

// floor(count * 1000 / frequency) modulo 2^32, exact for every count and
// frequency; 0 for a frequency of 0 or less or a negative count.
std::uint32_t CounterMilliseconds(LONGLONG count, LONGLONG frequency);

// Opens `archive` from the executable at `executablePath`, then from the archive
// file beside it; one beside it that exists but does not open is named on
// standard error.
void OpenArchiveOf(CFLArchive& archive, const std::string& executablePath);
// The second archive path tried for the executable at `path`.
std::string ArchivePathBeside(const std::string& path);
