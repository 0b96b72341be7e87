#include "app/Program.h"

namespace {
constexpr const char* kWindowClass = "Vorla window class";
}

void CreateMainWindow() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = program.instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassA(&windowClass)) FatalError("Error registering window class");

  DWORD style = program.fullscreen ? WS_POPUP : WS_SYSMENU;
  int width = program.fullscreen ? GetSystemMetrics(SM_CXSCREEN) : int(kScreenWidth);
  int height = program.fullscreen ? GetSystemMetrics(SM_CYSCREEN) : int(kScreenHeight);
  program.mainWindow = CreateWindowExA(0, kWindowClass, kCaption, style, 0, 0, width, height,
                                       nullptr, nullptr, program.instance, nullptr);
  if (!program.mainWindow) FatalError("Error opening window");
  ShowWindow(program.mainWindow, SW_SHOW);
  UpdateWindow(program.mainWindow);
  SetFocus(program.mainWindow);
}

void DestroyMainWindow() {
  if (program.mainWindow) {
    if (DestroyWindow(program.mainWindow)) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    } else {
      OutputDebugStringA("   Failed to DestroyWindow\n");
      MessageBoxA(nullptr, "Destroy Window Failed", kCaption, MB_ICONERROR | MB_TOPMOST);
    }
    program.mainWindow = nullptr;
  }
  if (!UnregisterClassA(kWindowClass, program.instance)) {
    OutputDebugStringA("   Failed to Unregister Window\n");
    MessageBoxA(nullptr, "Unregister Failed", kCaption, MB_ICONERROR | MB_TOPMOST);
  }
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
      program.quitRequested = true;
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE)
        program.quitRequested = true;
      else
        HandleShowKey(wParam);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4) {
        program.quitRequested = true;
        return 0;
      }
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
