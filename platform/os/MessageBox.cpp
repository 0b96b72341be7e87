// Message boxes: every box is recorded and copied to standard error, so a run
// without a display still says why it stopped. On a display, SDL's native box
// is tried first and the player's own drawn box second. Their text is ANSI:
// UTF-8 where it is valid UTF-8, otherwise Windows-1252 bytes (the show's
// messages are written so), turned into UTF-8 for standard error and the display.
#include <SDL2/SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/os/DrawnMessageBox.h"
#include "platform/os/SdlVideo.h"
#include "platform/os/Utf8.h"
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

// Windows-1252 0x80..0x9F; the five bytes it leaves undefined pass through as
// the control characters of the same number.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string AnsiToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += text[i++];
      continue;
    }
    char32_t ignored = 0;
    if (std::size_t n = os_internal::Utf8Sequence(text, i, &ignored)) {
      out.append(text, i, n);
      i += n;
      continue;
    }
    const char16_t cp = c < 0xA0 ? kWindows1252High[c - 0x80] : c;
    if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
    ++i;
  }
  return out;
}

void CopyToStandardError(const OsMessageBoxRecord& box) {
  std::string line = AnsiToUtf8(box.caption) + ": " + AnsiToUtf8(box.text);
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
  data.flags = (box.type & MB_ICONERROR) == MB_ICONERROR && !question ? SDL_MESSAGEBOX_ERROR
                                                                      : SDL_MESSAGEBOX_INFORMATION;
  const std::string title = AnsiToUtf8(box.caption);
  const std::string message = AnsiToUtf8(box.text);
  data.title = title.c_str();
  data.message = message.c_str();
  data.buttons = question ? yesNoCancel : ok;
  data.numbuttons = question ? 3 : 1;
  data.flags |= SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  int pressed = 0;
  if (SDL_ShowMessageBox(&data, &pressed) == 0) {
    // Closing the box without a button counts as its escape button.
    return pressed < 0 ? (question ? IDCANCEL : IDOK) : pressed;
  }
  // No native box here (an X server without core fonts, a Wayland desktop
  // without a dialog helper), but a window may still open: the player draws
  // the box itself. Only where no window opens either is the box not shown.
  const std::string why = SDL_GetError();
  os_internal::DrawnMessageBox drawn(
      message,
      question ? std::vector<os_internal::DrawnButton>{{IDYES, "Yes"},
                                                       {IDNO, "No"},
                                                       {IDCANCEL, "Cancel"}}
               : std::vector<os_internal::DrawnButton>{{IDOK, "OK"}},
      0, question ? 2 : 0);
  pressed = os_internal::ShowDrawnMessageBox(title, drawn);
  if (pressed == 0)
    std::fprintf(stderr, "demo: the message box could not be shown: %s\n", why.c_str());
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

void OsFatalExit(const std::string& caption, const std::string& text, UINT exitStatus) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  OsExit(exitStatus);
}

void OsFatal(const std::string& caption, const std::string& text, UINT exitStatus) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  ExitProcess(exitStatus);
}
