// The hosting library's module state: the host window class and the host object
// of every live host window, looked up by window handle.
#include <map>

#include "platform/flash/AxHostWindow.h"

namespace {

struct AtlAxModule {
  int initCount = 0;
  std::map<HWND, CComPtr<CAxHostWindow>> hosts;
};

AtlAxModule& Module() {
  static AtlAxModule module;
  return module;
}

LRESULT AtlAxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    auto& hosts = Module().hosts;
    auto it = hosts.find(window);
    if (it != hosts.end()) {
      CComPtr<CAxHostWindow> host = std::move(it->second);
      hosts.erase(it);
      host->DetachFromWindow();
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

BOOL AtlAxWinInit() {
  AtlAxModule& module = Module();
  if (module.initCount == 0) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = AtlAxWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kAtlAxWinClassName;
    if (!RegisterClassA(&windowClass)) return FALSE;
  }
  ++module.initCount;
  return TRUE;
}

BOOL AtlAxWinTerm() {
  AtlAxModule& module = Module();
  if (module.initCount == 0) return FALSE;
  if (module.initCount == 1 && !UnregisterClassA(kAtlAxWinClassName, GetModuleHandleA(nullptr)))
    return FALSE;
  --module.initCount;
  return TRUE;
}

HRESULT AtlAxGetHost(HWND window, IUnknown** host) {
  if (host == nullptr) return E_POINTER;
  *host = nullptr;
  auto& hosts = Module().hosts;
  auto it = hosts.find(window);
  if (it == hosts.end() || !IsWindow(window)) return E_FAIL;
  *host = static_cast<IAxWinHostWindow*>(it->second.p);
  (*host)->AddRef();
  return S_OK;
}

HWND AtlAxCreateHostWindow(HWND parent, const RECT& rect, LPCSTR windowName, DWORD style,
                           DWORD exStyle) {
  AtlAxModule& module = Module();
  if (module.initCount == 0) return nullptr;
  HWND window = CreateWindowExA(exStyle, kAtlAxWinClassName, windowName, style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return nullptr;
  CAxHostWindow* host = CAxHostWindow::New(window);
  if (host == nullptr) {
    DestroyWindow(window);
    return nullptr;
  }
  module.hosts[window] = host;  // the map's own reference
  host->Release();
  return window;
}
