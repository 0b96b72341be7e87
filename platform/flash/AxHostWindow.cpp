#include "platform/flash/AxHostWindow.h"

#include <new>

CAxHostWindow* CAxHostWindow::New(HWND window) { return new (std::nothrow) CAxHostWindow(window); }

HRESULT CAxHostWindow::QueryInterface(REFIID iid, void** object) {
  return ComQueryInterface<IAxWinHostWindow>(this, iid, object,
                                             {IID_IUnknown, IID_IAxWinHostWindow});
}

HRESULT CAxHostWindow::CreateControlEx(LPCOLESTR name, HWND target, IStream* stream,
                                       IUnknown** created, REFIID adviseIid, IUnknown* sink) {
  if (created) *created = nullptr;
  if (stream != nullptr || sink != nullptr || !(adviseIid == IID_NULL)) return E_NOTIMPL;
  if (name == nullptr || window == nullptr || target != window) return E_INVALIDARG;
  CLSID clsid;
  HRESULT hr = CLSIDFromString(name, &clsid);
  if (FAILED(hr)) return hr;
  CComPtr<IUnknown> made;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                        reinterpret_cast<void**>(&made));
  if (FAILED(hr)) return hr;
  control = made;
  if (created) {
    *created = made;
    made->AddRef();
  }
  return S_OK;
}

HRESULT CAxHostWindow::QueryControl(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!control) return E_FAIL;
  return control->QueryInterface(iid, object);
}

void CAxHostWindow::DetachFromWindow() {
  control.Release();
  window = nullptr;
}
