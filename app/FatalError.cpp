#include "app/Shell.h"

void Shell::FatalError(const std::string& message) {
  DeleteScript();
  ReleaseDirect3D();
  DestroyMainWindow();
  ShowFatalError(message);
}

void ShowFatalError(const std::string& message) {
  OutputDebugStringA((message + "\n").c_str());
  MessageBoxA(nullptr, message.c_str(), kCaption, MB_OK);
  ExitProcess(5);
}
