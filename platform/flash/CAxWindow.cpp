#include "platform/flash/AxHostWindow.h"
#include "platform/flash/atlhost.h"

CAxWindow::~CAxWindow() { DestroyWindow(); }

HWND CAxWindow::Create(HWND parent, const RECT& rect, LPCSTR windowName, DWORD style,
                       DWORD exStyle) {
  if (m_hWnd != nullptr) return nullptr;  // one window per wrapper
  m_hWnd = AtlAxCreateHostWindow(parent, rect, windowName, style, exStyle);
  return m_hWnd;
}

BOOL CAxWindow::DestroyWindow() {
  HWND window = m_hWnd;
  m_hWnd = nullptr;
  return window && IsWindow(window) ? ::DestroyWindow(window) : FALSE;
}

HRESULT CAxWindow::QueryHost(REFIID iid, void** object) const {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  CComPtr<IUnknown> host;
  const HRESULT hr = AtlAxGetHost(m_hWnd, &host);
  return FAILED(hr) ? hr : host->QueryInterface(iid, object);
}

HRESULT CAxWindow::QueryControl(REFIID iid, void** object) const {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  CComPtr<IAxWinHostWindow> host;
  const HRESULT hr = QueryHost(IID_IAxWinHostWindow, reinterpret_cast<void**>(&host));
  return FAILED(hr) ? hr : host->QueryControl(iid, object);
}
