#include "app/Shell.h"

#include <cxxabi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <typeinfo>

#include "app/Capture.h"
#include "app/FrameStats.h"
#include "app/Program.h"
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

void ClearFrame() {
  if (!program.backBufferWidth) {
    program.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 127);
    return;
  }
  // Clears follow the viewport: the whole target first, then the screen drawn boxed.
  D3DVIEWPORT9 whole{0, 0, program.backBufferWidth, program.backBufferHeight, 0.0f, 1.0f};
  program.device->SetViewport(&whole);
  program.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 127);
  D3DVIEWPORT9 box = ScreenBox(program.backBufferWidth, program.backBufferHeight);
  program.device->SetViewport(&box);
}

void ShowTitle(double scriptMs, double fps) {
  char title[96];
  if (program.clock.paused())
    std::snprintf(title, sizeof title, "%s - %.1f s - paused", kCaption, scriptMs / 1000.0);
  else
    std::snprintf(title, sizeof title, "%s - %.1f s - %.0f fps", kCaption, scriptMs / 1000.0, fps);
  OsSetWindowTitle(program.mainWindow, title);
}

void RunFrameLoop(const ShellOptions& options, Capture* capture) {
  FrameStats stats;
  const WallClock::time_point runStart = WallClock::now();
  WallClock::time_point lastFrame = runStart, lastTitle = runStart;
  int framesSinceTitle = 0;
  const double length = program.scripter ? ShowLength(*program.scripter) : 0;
  while (!program.quitRequested) {
    if (OsStopSignalled()) {
      program.quitRequested = true;
      break;
    }
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ClearFrame();
    bool ended = program.showEnded;
    program.showEnded = false;
    const std::uint32_t first = program.scripter ? program.scripter->nextItem : 0;
    if (!ended && program.scripter) ended = program.scripter->update();
    const std::uint32_t end = program.scripter ? program.scripter->nextItem : 0;
    if (ended) {
      // An empty show would restart at once for ever.
      if (options.loop && program.scripter && GetTime() > 0)
        RestartShow();
      else
        program.quitRequested = true;
    }
    program.device->Present(nullptr, nullptr, nullptr, nullptr);

    const WallClock::time_point now = WallClock::now();
    const double scriptMs = program.scripter ? program.scripter->scriptTime() : 0;
    if (options.stats && program.scripter)
      stats.add(MsBetween(lastFrame, now), scriptMs, ItemsRun(*program.scripter, first, end));
    lastFrame = now;
    ++framesSinceTitle;
    if (capture) {
      capture->progress(scriptMs, length);
      if (capture->done()) program.quitRequested = true;
    } else {
      if (options.seconds &&
          GetTime() >= (options.start.value_or(0) + *options.seconds) * 1000.0)
        program.quitRequested = true;
      if (MsBetween(lastTitle, now) >= 500) {
        ShowTitle(scriptMs, framesSinceTitle * 1000.0 / MsBetween(lastTitle, now));
        lastTitle = now;
        framesSinceTitle = 0;
      }
    }
  }
  if (options.stats)
    std::fputs(stats.report(MsBetween(runStart, WallClock::now()) / 1000.0).c_str(), stderr);
}

// Steps the show to `start` seconds without drawing; false when it ended first.
bool StartAt(double start, Capture* capture) {
  if (!program.scripter) return true;
  const double target = start * 1000.0;
  if (!capture) {
    const bool going = StepShow(*program.scripter, 0, target);
    SyncMusic(target);
    return going;
  }
  // On the capture's own counter, each frame's sound mixed and dropped, so the
  // frames from here on are those of a run from the start.
  while (static_cast<double>(program.frameStep.frameMs(capture->frameIndex())) < target) {
    if (program.scripter->update(false)) return false;
    capture->skipFrame();
  }
  return true;
}

void Shutdown() {
  DeleteScript();
  ReleaseDirect3D();
  if (program.fullscreen) ShowCursor(TRUE);
  DestroyMainWindow();
  SetProgramArchive(nullptr);
  program.archive.reset();
  AtlAxWinTerm();
}

std::string Absolute(const std::string& path) {
  return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
}

}  // namespace

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
  // The capture folder and video are named from where the user started, not the show's folder.
  const std::string captureDir = Absolute(options.captureDir);
  const std::string video = Absolute(options.video);
  if (!options.dataDir.empty() && !SetCurrentDirectoryA(options.dataDir.c_str())) {
    std::fprintf(stderr, "demo: cannot change into the show folder '%s'\n", options.dataDir.c_str());
    return 2;
  }
  // Headless runs pump no events: the signals end the run as Escape does.
  OsWatchStopSignals();
  if (options.headless) OsSetHeadless(true);
  program.frameStep = options.fps;
  program.capturing = !captureDir.empty();
  program.liveControls = !program.capturing;
  if (options.size) {
    program.backBufferWidth = static_cast<std::uint32_t>(options.size->width);
    program.backBufferHeight = static_cast<std::uint32_t>(options.size->height);
  }
  std::unique_ptr<Capture> capture;
  if (program.capturing) {
    CaptureSettings settings{captureDir, options.fps, options.framesPng, video, std::nullopt};
    if (options.seconds) settings.maxFrames = options.fps.framesIn(*options.seconds);
    capture = std::make_unique<Capture>(settings);
    if (!capture->ready()) return 2;
  }

  program.instance = GetModuleHandleA(nullptr);
  program.archive = std::make_unique<CFLArchive>();
  SetProgramArchive(program.archive.get());
  OpenProgramArchive();
  AtlAxWinInit();
  if (options.fullscreen)
    program.fullscreen = *options.fullscreen;
  else
    AskFullscreen();
  CreateMainWindow();
  if (program.fullscreen) ShowCursor(FALSE);
  InitDirect3D();
  if (capture) capture->attach(program.device);
  StartScript();

  const bool going = !options.start || StartAt(*options.start, capture.get());
  // A capture of no frames at all (--seconds 0, or a start past the end) writes nothing.
  if (going && !(capture && capture->done())) RunFrameLoop(options, capture.get());

  if (capture) capture->detach();
  Shutdown();
  if (capture) {
    capture->finish();
    if (capture->failed()) return 1;
  }
  return 0;
}
