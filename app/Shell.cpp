#include "app/Shell.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/Capture.h"
#include "app/Program.h"
#include "platform/flash/atlhost.h"
#include "platform/os/oshost.h"

namespace {

void RunFrameLoop(const ShellOptions& options) {
  while (!program.quitRequested) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    program.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 127);
    if (program.scripter && program.scripter->update()) program.quitRequested = true;
    program.device->Present(nullptr, nullptr, nullptr, nullptr);
    if (options.seconds && program.scripter &&
        program.scripter->scriptTime() >= *options.seconds * 1000.0)
      program.quitRequested = true;
  }
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

}  // namespace

int RunShell(const ShellOptions& options) {
  // The capture folder is named from where the user started, not the show's folder.
  std::string captureDir;
  if (!options.captureDir.empty())
    captureDir = std::filesystem::absolute(options.captureDir).lexically_normal().string();
  if (!options.dataDir.empty() && !SetCurrentDirectoryA(options.dataDir.c_str())) {
    std::fprintf(stderr, "demo: cannot change into the show folder '%s'\n", options.dataDir.c_str());
    return 2;
  }
  if (options.headless) OsSetHeadless(true);
  std::unique_ptr<Capture> capture;
  if (!captureDir.empty()) {
    capture = std::make_unique<Capture>(captureDir, options.fps);
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

  RunFrameLoop(options);

  if (capture) capture->detach();
  Shutdown();
  if (capture) capture->finish();
  return 0;
}
