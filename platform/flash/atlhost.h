// The ActiveX control host: the "AtlAxWin7" window class, whose windows each
// carry a host object that creates one control by its class identifier string and
// keeps it until the window is destroyed; CAxWindow, the window wrapper over it.
// Our controls draw nothing, so the host does no in-place activation, painting
// or event routing. Not here: licensed controls, streams, event sinks, creation
// from ProgIDs or HTML. Entry thread only.
#pragma once

#include "platform/flash/atlbase.h"
#include "platform/flash/objbase.h"
#include "platform/os/windows.h"

struct IStream;

// Registers the host window class and readies the library's module state. Calls
// nest: each successful one needs an AtlAxWinTerm. TRUE on success.
BOOL AtlAxWinInit();
// Undoes one AtlAxWinInit; the last one unregisters the class. FALSE when the
// library is not initialised or host windows still exist (the class then stays).
BOOL AtlAxWinTerm();

inline constexpr const char* kAtlAxWinClassName = "AtlAxWin7";

// {B6EA2050-048A-11D1-82B9-00C04FB9942E}
inline constexpr IID IID_IAxWinHostWindow{0xB6EA2050, 0x048A, 0x11D1,
                                          {0x82, 0xB9, 0x00, 0xC0, 0x4F, 0xB9, 0x94, 0x2E}};

struct IAxWinHostWindow : IUnknown {
  // Creates the control named by `name` ("{CLSID}") in host window `window` and
  // returns its IUnknown in `control` (may be null) with one reference; a control
  // already hosted is released first. `stream` must be null, `adviseIid` IID_NULL
  // and `sink` null (E_NOTIMPL otherwise); CO_E_CLASSSTRING for a name that is
  // not a class identifier; E_INVALIDARG when `window` is not this host's.
  virtual HRESULT CreateControlEx(LPCOLESTR name, HWND window, IStream* stream,
                                  IUnknown** control, REFIID adviseIid, IUnknown* sink) = 0;
  // The hosted control's interface `iid`; E_FAIL when no control is hosted.
  virtual HRESULT QueryControl(REFIID iid, void** object) = 0;

 protected:
  ~IAxWinHostWindow() = default;
};

// The host object of host window `window`, as IUnknown with one reference.
// E_FAIL when `window` is not a live host window.
HRESULT AtlAxGetHost(HWND window, IUnknown** host);

// A host window handle with its creation and destruction. Owns the window it
// creates; destroying the window releases its host and the hosted control.
class CAxWindow {
 public:
  CAxWindow() = default;
  ~CAxWindow();
  CAxWindow(const CAxWindow&) = delete;
  CAxWindow& operator=(const CAxWindow&) = delete;

  // Creates a host window at `rect` (pixels) with the given title, style and
  // extended style; null when the library is not initialised or the window
  // cannot be made.
  HWND Create(HWND parent, const RECT& rect, LPCSTR windowName, DWORD style, DWORD exStyle);
  BOOL DestroyWindow();
  // The host's interface `iid`, e.g. IID_IAxWinHostWindow.
  HRESULT QueryHost(REFIID iid, void** object) const;
  // The hosted control's interface `iid`.
  HRESULT QueryControl(REFIID iid, void** object) const;

  HWND m_hWnd = nullptr;
};
