#include "app/Shell.h"

namespace {
constexpr const char* kWindowClass = "Vorla window class";
}

void Shell::CreateMainWindow() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = Shell::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassA(&windowClass)) FatalError("Error registering window class");
  classRegistered_ = true;

  DWORD style = fullscreen ? WS_POPUP : WS_SYSMENU;
  int width = fullscreen ? GetSystemMetrics(SM_CXSCREEN) : int(kScreenWidth);
  int height = fullscreen ? GetSystemMetrics(SM_CYSCREEN) : int(kScreenHeight);
  mainWindow = CreateWindowExA(0, kWindowClass, kCaption, style, 0, 0, width, height, nullptr,
                               nullptr, instance, nullptr);
  if (!mainWindow) FatalError("Error opening window");
  // The window procedure's way back to its shell.
  SetWindowLongPtrA(mainWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(mainWindow, SW_SHOW);
  UpdateWindow(mainWindow);
  SetFocus(mainWindow);
}

void Shell::DestroyMainWindow() {
  if (mainWindow) {
    if (DestroyWindow(mainWindow)) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    } else {
      OutputDebugStringA("   Failed to DestroyWindow\n");
      MessageBoxA(nullptr, "Destroy Window Failed", kCaption, MB_ICONERROR | MB_TOPMOST);
    }
    mainWindow = nullptr;
  }
  if (!UnregisterClassA(kWindowClass, instance)) {
    OutputDebugStringA("   Failed to Unregister Window\n");
    MessageBoxA(nullptr, "Unregister Failed", kCaption, MB_ICONERROR | MB_TOPMOST);
  }
  classRegistered_ = false;
}

LRESULT Shell::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Messages sent while the window is being made come before its shell is known.
  if (auto* shell = reinterpret_cast<Shell*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
    return shell->HandleMessage(window, message, wParam, lParam);
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Shell::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      quitRequested = true;
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE)
        quitRequested = true;
      else
        HandleShowKey(wParam);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4) {
        quitRequested = true;
        return 0;
      }
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
