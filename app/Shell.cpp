#include "app/Shell.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <typeinfo>

#include "app/Capture.h"
#include "platform/flash/atlhost.h"
#include "platform/os/oshost.h"
#include "script/TimingItems.h"

namespace {

using WallClock = std::chrono::steady_clock;

double MsBetween(WallClock::time_point a, WallClock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

std::string ItemName(const ScriptItem& item) {
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(item).name(), nullptr, nullptr, &status);
  std::string text = status == 0 && name ? name : typeid(item).name();
  std::free(name);
  return text;
}

// What ran in a frame: the last item other than a wait, or the wait.
std::string ItemsRun(const Scripter& s, std::uint32_t first, std::uint32_t end) {
  std::string name = "-";
  for (std::uint32_t i = first; i < end && i < s.items.size(); ++i) {
    std::string n = ItemName(*s.items[i]);
    if (name == "-" || name == "Wait" || n != "Wait") name = n;
  }
  if (end < s.items.size() && name == "-") name = ItemName(*s.items[end]);
  return name;
}

// The show's length: the time of its last wait.
double ShowLength(const Scripter& s) {
  for (auto it = s.items.rbegin(); it != s.items.rend(); ++it)
    if (const auto* wait = dynamic_cast<const Wait*>(it->get())) return wait->time;
  return 0;
}

std::string Absolute(const std::string& path) {
  return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
}

}  // namespace

Shell::Shell(ShellOptions options) : options_(std::move(options)) {}

Shell::~Shell() {
  if (capture_) capture_->detach();
  Shutdown();
}

bool Shell::Start() {
  // The capture folder and video are named from where the user started, not the show's folder.
  options_.captureDir = Absolute(options_.captureDir);
  options_.video = Absolute(options_.video);
  if (!options_.dataDir.empty() && !SetCurrentDirectoryA(options_.dataDir.c_str())) {
    std::fprintf(stderr, "demo: cannot change into the show folder '%s'\n",
                 options_.dataDir.c_str());
    failedStatus_ = 2;
    return false;
  }
  // Headless runs pump no events: the signals end the run as Escape does.
  OsWatchStopSignals();
  if (options_.headless) OsSetHeadless(true);
  frameStep = options_.fps;
  const bool capturing = !options_.captureDir.empty();
  liveControls = !capturing;
  if (options_.size) {
    backBufferWidth = static_cast<std::uint32_t>(options_.size->width);
    backBufferHeight = static_cast<std::uint32_t>(options_.size->height);
  }
  if (capturing) {
    // Before the sound system starts, which must find the offline output chosen.
    CaptureSettings settings{options_.captureDir, options_.fps, options_.framesPng,
                             options_.video, std::nullopt};
    if (options_.seconds) settings.maxFrames = options_.fps.framesIn(*options_.seconds);
    capture_ = std::make_unique<Capture>(settings);
    if (!capture_->ready()) {
      failedStatus_ = 2;
      return false;
    }
  }

  instance = GetModuleHandleA(nullptr);
  archive = std::make_unique<CFLArchive>();
  SetProgramArchive(archive.get());
  OpenProgramArchive();
  AtlAxWinInit();
  hostingStarted_ = true;
  if (options_.fullscreen)
    fullscreen = *options_.fullscreen;
  else
    AskFullscreen();
  CreateMainWindow();
  if (fullscreen) {
    ShowCursor(FALSE);
    cursorHidden_ = true;
  }
  InitDirect3D();
  if (capture_) capture_->attach(device.get());
  StartScript();

  const bool going = !options_.start || StartAt(*options_.start);
  // A capture of no frames at all (--seconds 0, or a start past the end) writes nothing.
  if (!going || (capture_ && capture_->done())) quitRequested = true;
  showLength_ = scripter ? ShowLength(*scripter) : 0;
  passStartMs_ = options_.start.value_or(0) * 1000.0;
  runStart_ = lastFrame_ = lastTitle_ = WallClock::now();
  return true;
}

bool Shell::Step() {
  if (quitRequested || !device) return false;
  if (OsStopSignalled()) {
    quitRequested = true;
    return false;
  }
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  ClearFrame();
  bool ended = showEnded_;
  showEnded_ = false;
  const std::uint32_t first = scripter ? scripter->nextItem : 0;
  if (!ended && scripter) ended = scripter->update();
  const std::uint32_t end = scripter ? scripter->nextItem : 0;
  if (ended) {
    // An empty show would restart at once for ever.
    if (options_.loop && scripter && GetTime() > 0)
      LoopShow();
    else
      quitRequested = true;
  }
  device->Present(nullptr, nullptr, nullptr, nullptr);
  AfterFrame(first, end);
  return !quitRequested;
}

void Shell::AfterFrame(std::uint32_t first, std::uint32_t end) {
  const WallClock::time_point now = WallClock::now();
  const double scriptMs = scripter ? scripter->scriptTime() : 0;
  if (options_.stats && scripter)
    stats_.add(MsBetween(lastFrame_, now), scriptMs, ItemsRun(*scripter, first, end));
  lastFrame_ = now;
  ++frames_;
  ++framesSinceTitle_;
  if (capture_) {
    capture_->progress(scriptMs, showLength_);
    if (capture_->done()) quitRequested = true;
    return;
  }
  if (options_.seconds && loopedMs_ + GetTime() - passStartMs_ >= *options_.seconds * 1000.0)
    quitRequested = true;
  if (MsBetween(lastTitle_, now) >= 500) {
    ShowTitle(scriptMs, framesSinceTitle_ * 1000.0 / MsBetween(lastTitle_, now));
    lastTitle_ = now;
    framesSinceTitle_ = 0;
  }
}

int Shell::Finish() {
  if (finished_) return failedStatus_;
  if (options_.stats && frames_ > 0)
    std::fputs(stats_.report(MsBetween(runStart_, WallClock::now()) / 1000.0).c_str(), stderr);
  if (capture_) capture_->detach();
  Shutdown();
  finished_ = true;
  if (failedStatus_) return failedStatus_;
  if (capture_) {
    capture_->finish();
    if (capture_->failed()) failedStatus_ = 1;
  }
  return failedStatus_;
}

void Shell::Shutdown() {
  DeleteScript();
  ReleaseDirect3D();
  if (cursorHidden_) {
    ShowCursor(TRUE);
    cursorHidden_ = false;
  }
  if (classRegistered_) DestroyMainWindow();
  if (archive) {
    SetProgramArchive(nullptr);
    archive.reset();
  }
  if (hostingStarted_) {
    AtlAxWinTerm();
    hostingStarted_ = false;
  }
}

void Shell::LoopShow() {
  // --seconds counts every pass played, not only the last.
  loopedMs_ += GetTime() - passStartMs_;
  RestartShow();
  // A show maker who started at a place rehearses from there.
  if (options_.start) {
    const double target = *options_.start * 1000.0;
    if (!StepShow(*scripter, 0, target)) showEnded_ = true;
    SyncMusic(target);
  }
  passStartMs_ = GetTime();
}

// Steps the show to `start` seconds without drawing; false when it ended first.
bool Shell::StartAt(double start) {
  if (!scripter) return true;
  const double target = start * 1000.0;
  if (!capture_) {
    const bool going = StepShow(*scripter, 0, target);
    SyncMusic(target);
    return going;
  }
  // On the capture's own counter, each frame's sound mixed and dropped, so the
  // frames from here on are those of a run from the start.
  while (static_cast<double>(frameStep.frameMs(capture_->frameIndex())) < target) {
    if (scripter->update(false)) return false;
    capture_->skipFrame();
  }
  return true;
}

void Shell::ClearFrame() {
  if (!backBufferWidth) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 127);
    return;
  }
  // Clears follow the viewport: the whole target first, then the screen drawn boxed.
  D3DVIEWPORT9 whole{0, 0, backBufferWidth, backBufferHeight, 0.0f, 1.0f};
  device->SetViewport(&whole);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 127);
  D3DVIEWPORT9 box = ScreenBox(backBufferWidth, backBufferHeight);
  device->SetViewport(&box);
}

void Shell::ShowTitle(double scriptMs, double fps) {
  char title[96];
  if (clock.paused())
    std::snprintf(title, sizeof title, "%s - %.1f s - paused", kCaption, scriptMs / 1000.0);
  else
    std::snprintf(title, sizeof title, "%s - %.1f s - %.0f fps", kCaption, scriptMs / 1000.0, fps);
  OsSetWindowTitle(mainWindow, title);
}

D3DVIEWPORT9 ScreenBox(std::uint32_t width, std::uint32_t height) {
  // Scale to the limiting side; the other side is centred with bars.
  const std::uint64_t w = width, h = height;
  std::uint64_t boxW = w, boxH = h;
  if (w * kScreenHeight > h * kScreenWidth)
    boxW = (h * kScreenWidth + kScreenHeight / 2) / kScreenHeight;
  else
    boxH = (w * kScreenHeight + kScreenWidth / 2) / kScreenWidth;
  if (boxW == 0) boxW = 1;
  if (boxH == 0) boxH = 1;
  return D3DVIEWPORT9{static_cast<DWORD>((w - boxW) / 2), static_cast<DWORD>((h - boxH) / 2),
                      static_cast<DWORD>(boxW), static_cast<DWORD>(boxH), 0.0f, 1.0f};
}

int RunShell(const ShellOptions& options) {
  Shell shell(options);
  if (shell.Start())
    while (shell.Step()) {
    }
  return shell.Finish();
}
