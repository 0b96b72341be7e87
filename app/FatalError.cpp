#include "app/Program.h"

void FatalError(const std::string& message) {
  if (program.scripter) DeleteScript();
  ReleaseDirect3D();
  DestroyMainWindow();
  OutputDebugStringA((message + "\n").c_str());
  MessageBoxA(nullptr, message.c_str(), kCaption, MB_OK);
  ExitProcess(5);
}
