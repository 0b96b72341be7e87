// Message boxes: every box is recorded and copied to standard error, so a run
// without a display still says why it stopped. Their text is ANSI: UTF-8 where it
// is valid UTF-8, otherwise Windows-1252 bytes (the show's messages are written so),
// turned into UTF-8 for standard error and the display.
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

// Windows-1252 0x80..0x9F; the five bytes it leaves undefined pass through as
// the control characters of the same number.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the valid UTF-8 sequence at `at`, or 0.
std::size_t Utf8Length(const std::string& s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned c = byte(at);
  const std::size_t need = (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 0;
  if (need == 0 || at + need >= s.size()) return 0;
  char32_t cp = c & (need == 1 ? 0x1F : need == 2 ? 0x0F : 0x07);
  for (std::size_t k = 1; k <= need; ++k) {
    if ((byte(at + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(at + k) & 0x3F);
  }
  const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < minimum[need] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return need + 1;
}

std::string AnsiToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += text[i++];
      continue;
    }
    if (std::size_t n = Utf8Length(text, i)) {
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
  data.flags = (box.type & MB_ICONERROR) == MB_ICONERROR && !question
                   ? SDL_MESSAGEBOX_ERROR
                   : SDL_MESSAGEBOX_INFORMATION;
  const std::string title = AnsiToUtf8(box.caption);
  const std::string message = AnsiToUtf8(box.text);
  data.title = title.c_str();
  data.message = message.c_str();
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

void OsFatalExit(const std::string& caption, const std::string& text, UINT exitStatus) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  OsExit(exitStatus);
}

void OsFatal(const std::string& caption, const std::string& text, UINT exitStatus) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
  ExitProcess(exitStatus);
}
