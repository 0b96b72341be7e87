// What the Linux host adds to the Win32 subset: choosing a headless run, the test
// seam for message boxes, the virtual performance counter of capture runs, and
// the native window behind a window handle for the graphics layer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/os/windows.h"

struct SDL_Window;

// Headless: no display is used. Windows exist only as records (with their size and
// messages), message boxes cannot be shown (result 0), and rendering goes through
// EGL without a window. Set before the first window or message box.
void OsSetHeadless(bool headless);
bool OsIsHeadless();

// The SDL window behind a window handle, or null for a headless window.
SDL_Window* OsGetSdlWindow(HWND window);

// Message-box seam for tests: when set, the handler answers every box instead of
// the display (its result is MessageBoxA's). Every box, answered or not, is also
// recorded and written to standard error as "caption: text".
struct OsMessageBoxRecord {
  std::string text;
  std::string caption;
  UINT type;
};
using OsMessageBoxHandler = std::function<int(const OsMessageBoxRecord&)>;
void OsSetMessageBoxHandler(OsMessageBoxHandler handler);
const std::vector<OsMessageBoxRecord>& OsShownMessageBoxes();
void OsClearShownMessageBoxes();

// Virtual performance counter for capture runs: when on, the counter starts at 0,
// runs at `frequency` ticks per second and moves only through OsAdvanceVirtualCounter.
void OsUseVirtualCounter(LONGLONG frequency);
void OsAdvanceVirtualCounter(LONGLONG ticks);
bool OsVirtualCounterInUse();

// Posts a message into the queue as the system would (tests, and SDL events).
void OsQueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a fatal message box (no owner, OK button) and ends the process with the
// given status. The standard error copy is made by MessageBoxA itself.
[[noreturn]] void OsFatal(const std::string& caption, const std::string& text, UINT exitStatus);

// A new folder only this user can enter, under $TMPDIR or /tmp; empty when none
// can be made. For files the show must write where its own folder is read-only.
std::string OsCreatePrivateTempFolder();
// Removes an empty folder; false when it is not there, not empty or not a folder.
bool OsRemoveEmptyFolder(const std::string& folder);

// Exit seam: while a handler is set, ExitProcess calls it first. A handler that
// throws turns the end of the process into an exception for its caller to catch
// (a reload of the show that fails keeps the show as it was); one that returns
// lets the process end.
using OsExitHandler = std::function<void(UINT exitStatus)>;
void OsSetExitHandler(OsExitHandler handler);
bool OsExitHandlerSet();

// An ordinary exit, as the C runtime's exit() ends a program on the original
// platform: the exit seam above first, then every registered exit handler, newest
// first, then the end of the process (without destructors: other threads may
// still use what they would free). ExitProcess runs no exit handlers.
[[noreturn]] void OsExit(UINT exitStatus);
// Registers a handler for ordinary exits (files a run must close whole); the
// returned number removes it again. Entry thread.
int OsAddExitHandler(std::function<void()> handler);
void OsRemoveExitHandler(int handler);
// A fatal message box (no owner, OK button), then an ordinary exit.
[[noreturn]] void OsFatalExit(const std::string& caption, const std::string& text,
                              UINT exitStatus);

// SIGTERM and SIGINT: after OsWatchStopSignals either one only sets a flag, which
// the frame loop reads to end the run as Escape does (headless runs pump no events).
void OsWatchStopSignals();
bool OsStopSignalled();

// A progress line on standard error. On a terminal it is rewritten in place, and
// anything else written to standard error while it shows starts on a line of its
// own; elsewhere (a file, a pipe) each call writes `text` as one whole line.
bool OsStandardErrorIsTerminal();
void OsShowProgress(const std::string& text);
// Ends a progress line that shows: what follows starts on a new line.
void OsEndProgress();

// The window's title bar text.
BOOL OsSetWindowTitle(HWND window, const std::string& title);
std::string OsWindowTitle(HWND window);
