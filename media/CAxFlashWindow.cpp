#include "media/CAxFlashWindow.h"

namespace {
constexpr OLECHAR kShockwaveFlashClass[] = u"{D27CDB6E-AE6D-11CF-96B8-444553540000}";
}

CAxFlashWindow::~CAxFlashWindow() {
  flash.Release();
  DestroyWindow();
}

HWND CAxFlashWindow::Create(HWND parent, const RECT& rect, LPCSTR windowName, DWORD style,
                            DWORD exStyle) {
  if (!CAxWindow::Create(parent, rect, windowName, style, exStyle)) return nullptr;
  CComPtr<IAxWinHostWindow> host;
  if (FAILED(QueryHost(IID_IAxWinHostWindow, reinterpret_cast<void**>(&host)))) return m_hWnd;
  CComPtr<IUnknown> control;
  if (FAILED(host->CreateControlEx(kShockwaveFlashClass, m_hWnd, nullptr, &control, IID_NULL,
                                   nullptr)))
    return m_hWnd;
  control->QueryInterface(IID_IShockwaveFlash, reinterpret_cast<void**>(&flash));
  return m_hWnd;
}
