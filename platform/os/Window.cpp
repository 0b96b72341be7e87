// Window classes, windows and the message queue. A window is a record with its
// class's window procedure and, when a display is in use, an SDL window; SDL's
// events become the Win32 messages the player handles.
#include <SDL2/SDL.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/SdlVideo.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"

struct HWND__ {
  std::string className;
  WNDPROC procedure = nullptr;
  SDL_Window* sdl = nullptr;
  int width = 0;
  int height = 0;
  std::string title;
  LONG_PTR userData = 0;
};

namespace {

struct WindowSystem {
  std::map<std::string, WNDCLASSA> classes;
  std::vector<std::unique_ptr<HWND__>> windows;
  std::deque<MSG> queue;
  HWND focus = nullptr;
  int cursorCount = 0;
  ATOM nextAtom = 0xC000;
};

WindowSystem& System() {
  static WindowSystem system;
  return system;
}

HWND Find(HWND window) {
  auto& all = System().windows;
  auto it = std::find_if(all.begin(), all.end(), [&](const auto& w) { return w.get() == window; });
  return it == all.end() ? nullptr : it->get();
}

HWND FindSdl(Uint32 sdlWindowId) {
  for (auto& w : System().windows)
    if (w->sdl && SDL_GetWindowID(w->sdl) == sdlWindowId) return w.get();
  return nullptr;
}

HWND MainWindow() { return System().windows.empty() ? nullptr : System().windows.front().get(); }

// 0: a key with no virtual key the player knows. SDL's codes for keys without a
// character carry a high bit over their scan code, so their low byte must never
// be taken for a letter (Up would be 'R').
WPARAM VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<WPARAM>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WPARAM>(key);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<WPARAM>(key - SDLK_F1);
  switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    default: return 0;
  }
}

// Turns pending SDL events into queued messages.
void PumpSdlEvents() {
  if (OsIsHeadless() || SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        if (HWND w = MainWindow()) OsQueueMessage(w, WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT:
        if (HWND w = FindSdl(e.window.windowID)) {
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) OsQueueMessage(w, WM_CLOSE, 0, 0);
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED) OsQueueMessage(w, WM_PAINT, 0, 0);
          if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            w->width = e.window.data1;
            w->height = e.window.data2;
          }
        }
        break;
      case SDL_KEYDOWN:
        if (HWND w = FindSdl(e.key.windowID) ? FindSdl(e.key.windowID) : MainWindow()) {
          // Alt+F4 is the system's close, as its default window handling makes it.
          if (e.key.keysym.sym == SDLK_F4 && (e.key.keysym.mod & KMOD_ALT))
            OsQueueMessage(w, WM_CLOSE, 0, 0);
          else if (WPARAM key = VirtualKey(e.key.keysym.sym))
            OsQueueMessage(w, WM_KEYDOWN, key, 0);
        }
        break;
      default:
        break;
    }
  }
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return window && window->procedure ? window->procedure(window, message, wParam, lParam) : 0;
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
      windowClass->lpfnWndProc == nullptr)
    return 0;
  auto& classes = System().classes;
  if (classes.count(windowClass->lpszClassName)) return 0;  // already registered
  classes[windowClass->lpszClassName] = *windowClass;
  return System().nextAtom++;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (className == nullptr) return FALSE;
  auto& sys = System();
  auto it = sys.classes.find(className);
  if (it == sys.classes.end()) return FALSE;
  for (auto& w : sys.windows)
    if (w->className == className) return FALSE;  // still in use
  sys.classes.erase(it);
  return TRUE;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*) {
  if (className == nullptr) return nullptr;
  auto& sys = System();
  auto cls = sys.classes.find(className);
  if (cls == sys.classes.end()) return nullptr;
  auto window = std::make_unique<HWND__>();
  window->className = className;
  window->procedure = cls->second.lpfnWndProc;
  window->width = width;
  window->height = height;
  window->title = windowName ? windowName : "";
  if (os_internal::EnsureSdlVideo()) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
    window->sdl = SDL_CreateWindow(windowName ? windowName : "", x, y, width, height, flags);
    if (window->sdl == nullptr) return nullptr;
  } else if (!OsIsHeadless()) {
    return nullptr;  // a display was expected but none can be used
  }
  sys.windows.push_back(std::move(window));
  HWND handle = sys.windows.back().get();
  if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
  return handle;
}

BOOL DestroyWindow(HWND window) {
  if (!Find(window)) return FALSE;
  Send(window, WM_DESTROY, 0, 0);
  auto& sys = System();
  if (window->sdl) SDL_DestroyWindow(window->sdl);
  if (sys.focus == window) sys.focus = nullptr;
  std::erase_if(sys.queue, [&](const MSG& m) { return m.hwnd == window; });
  std::erase_if(sys.windows, [&](const auto& w) { return w.get() == window; });
  return TRUE;
}

BOOL IsWindow(HWND window) { return Find(window) ? TRUE : FALSE; }

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  if (!Find(window) || index != GWLP_USERDATA) return 0;
  const LONG_PTR previous = window->userData;
  window->userData = value;
  return previous;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  return Find(window) && index == GWLP_USERDATA ? window->userData : 0;
}

BOOL ShowWindow(HWND window, int command) {
  if (!Find(window)) return FALSE;
  if (window->sdl) {
    if (command == SW_HIDE)
      SDL_HideWindow(window->sdl);
    else
      SDL_ShowWindow(window->sdl);
  }
  return TRUE;
}

BOOL UpdateWindow(HWND window) {
  if (!Find(window)) return FALSE;
  Send(window, WM_PAINT, 0, 0);
  return TRUE;
}

HWND SetFocus(HWND window) {
  HWND previous = System().focus;
  if (!Find(window)) return nullptr;
  if (window->sdl) SDL_RaiseWindow(window->sdl);
  System().focus = window;
  return previous;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  if (!Find(window) || rect == nullptr) return FALSE;
  int w = window->width, h = window->height;
  if (window->sdl) SDL_GetWindowSize(window->sdl, &w, &h);
  *rect = RECT{0, 0, w, h};
  return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD, BOOL) { return rect ? TRUE : FALSE; }

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (!Find(window) || paint == nullptr) return nullptr;
  *paint = PAINTSTRUCT{};
  paint->hdc = reinterpret_cast<HDC>(window);
  return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
  // Painting validates the window: drop the paint requests still queued for it.
  std::erase_if(System().queue,
                [&](const MSG& m) { return m.hwnd == window && m.message == WM_PAINT; });
  return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}

void OsQueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  System().queue.push_back(MSG{window, message, wParam, lParam, SDL_GetTicks(), POINT{0, 0}});
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
  PumpSdlEvents();
  auto& queue = System().queue;
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    bool windowMatches = window == nullptr || it->hwnd == window;
    bool messageMatches =
        (filterMin == 0 && filterMax == 0) || (it->message >= filterMin && it->message <= filterMax);
    if (!windowMatches || !messageMatches) continue;
    if (msg) *msg = *it;
    if (removeMessage & PM_REMOVE) queue.erase(it);
    return TRUE;
  }
  return FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }  // no character messages are needed

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || !Find(msg->hwnd)) return 0;
  return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
  OsQueueMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != nullptr && !Find(window)) return FALSE;
  OsQueueMessage(window, message, wParam, lParam);
  return TRUE;
}

int ShowCursor(BOOL show) {
  int& count = System().cursorCount;
  count += show ? 1 : -1;
  if (os_internal::EnsureSdlVideo()) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return count;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) { return reinterpret_cast<HICON>(const_cast<char*>(name)); }
HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
  return reinterpret_cast<HCURSOR>(const_cast<char*>(name));
}
HGDIOBJ GetStockObject(int object) { return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(object + 1)); }

int GetSystemMetrics(int index) {
  SDL_DisplayMode mode{};
  bool known = os_internal::EnsureSdlVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0;
  if (index == SM_CXSCREEN) return known ? mode.w : 1024;
  if (index == SM_CYSCREEN) return known ? mode.h : 768;
  return 0;
}

SDL_Window* OsGetSdlWindow(HWND window) { return Find(window) ? window->sdl : nullptr; }

BOOL OsSetWindowTitle(HWND window, const std::string& title) {
  if (!Find(window)) return FALSE;
  window->title = title;
  if (window->sdl) SDL_SetWindowTitle(window->sdl, title.c_str());
  return TRUE;
}

std::string OsWindowTitle(HWND window) { return Find(window) ? window->title : std::string(); }
