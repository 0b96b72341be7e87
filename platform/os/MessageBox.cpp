// Message boxes: every box is recorded and copied to standard error, so a run
// without a display still says why it stopped.
#include <SDL2/SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/os/SdlVideo.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"

namespace {

OsMessageBoxHandler& Handler() {
  static OsMessageBoxHandler handler;
  return handler;
}

std::vector<OsMessageBoxRecord>& Shown() {
  static std::vector<OsMessageBoxRecord> shown;
  return shown;
}

void CopyToStandardError(const OsMessageBoxRecord& box) {
  std::string line = box.caption + ": " + box.text;
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

int ShowOnDisplay(const OsMessageBoxRecord& box) {
  // Without a running video driver SDL may still reach a display on its own;
  // headless runs must never try.
  if (OsIsHeadless()) return 0;
  SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
       "OK"}};
  SDL_MessageBoxButtonData yesNoCancel[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
      {0, IDNO, "No"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"}};
  const bool question = (box.type & 0xF) == MB_YESNOCANCEL;
  SDL_MessageBoxData data{};
  data.flags = (box.type & MB_ICONERROR) == MB_ICONERROR && !question
                   ? SDL_MESSAGEBOX_ERROR
                   : SDL_MESSAGEBOX_INFORMATION;
  data.title = box.caption.c_str();
  data.message = box.text.c_str();
  data.buttons = question ? yesNoCancel : ok;
  data.numbuttons = question ? 3 : 1;
  int pressed = 0;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) return 0;
  // Closing the box without a button counts as its escape button.
  if (pressed < 0) pressed = question ? IDCANCEL : IDOK;
  return pressed;
}

}  // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  OsMessageBoxRecord box{text ? text : "", caption ? caption : "Error", type};
  Shown().push_back(box);
  CopyToStandardError(box);
  if (Handler()) return Handler()(box);
  return ShowOnDisplay(box);
}

void OsSetMessageBoxHandler(OsMessageBoxHandler handler) { Handler() = std::move(handler); }
const std::vector<OsMessageBoxRecord>& OsShownMessageBoxes() { return Shown(); }
void OsClearShownMessageBoxes() { Shown().clear(); }

void OsFatal(const std::string& caption, const std::string& text, UINT exitStatus) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  ExitProcess(exitStatus);
}
