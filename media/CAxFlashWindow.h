// The Flash player's window: a control host window holding one Shockwave Flash
// control, reached through its IShockwaveFlash interface. It handles no window
// messages of its own. Destroying it drops the interface and destroys the window,
// which takes the control with it. Entry thread only.
#pragma once

#include "platform/flash/atlhost.h"
#include "platform/flash/flash.h"

class CAxFlashWindow : public CAxWindow {
 public:
  CAxFlashWindow() = default;
  ~CAxFlashWindow();

  // Makes the host window, has it create the Shockwave Flash control and keeps
  // its IShockwaveFlash. The window is null when it could not be made; `flash`
  // stays null when the control could not be created or queried.
  HWND Create(HWND parent, const RECT& rect, LPCSTR windowName, DWORD style, DWORD exStyle);

  CComPtr<IShockwaveFlash> flash;  // one reference, dropped with the window
};
