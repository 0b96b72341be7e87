// The host object behind one "AtlAxWin7" window: creates and holds the one
// control of that window. Owned by the library's module state (one reference)
// from the window's creation until its destruction; others may hold references
// through AtlAxGetHost, but the control goes with the window. Entry thread only.
#pragma once

#include "platform/flash/atlhost.h"

class CAxHostWindow final : public ComObject<IAxWinHostWindow> {
 public:
  // A new host for `window`, with one reference; null when out of memory.
  static CAxHostWindow* New(HWND window);

  HRESULT QueryInterface(REFIID iid, void** object) override;
  HRESULT CreateControlEx(LPCOLESTR name, HWND window, IStream* stream, IUnknown** control,
                          REFIID adviseIid, IUnknown* sink) override;
  HRESULT QueryControl(REFIID iid, void** object) override;

  // The window is going: release the control and refuse new ones.
  void DetachFromWindow();

 private:
  explicit CAxHostWindow(HWND window) : window(window) {}
  ~CAxHostWindow() override = default;

  HWND window;
  CComPtr<IUnknown> control;
};

// Makes a host window with its host object: the module's side of CAxWindow::Create.
HWND AtlAxCreateHostWindow(HWND parent, const RECT& rect, LPCSTR windowName, DWORD style,
                           DWORD exStyle);
