// Process services: module path, current directory, file deletion, debug output
// and process exit.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/oshost.h"
#include "platform/os/windows.h"

namespace {
// The one module this process has; its handle only needs to be non-null and stable.
char moduleToken;

OsExitHandler& ExitHandler() {
  static OsExitHandler handler;
  return handler;
}

struct OrdinaryExitHandlers {
  int next = 0;
  std::vector<std::pair<int, std::function<void()>>> handlers;  // oldest first
};

OrdinaryExitHandlers& ExitHandlers() {
  static OrdinaryExitHandlers registered;
  return registered;
}
}  // namespace

void OsSetExitHandler(OsExitHandler handler) { ExitHandler() = std::move(handler); }
bool OsExitHandlerSet() { return static_cast<bool>(ExitHandler()); }

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  return moduleName == nullptr ? reinterpret_cast<HMODULE>(&moduleToken) : nullptr;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size) {
  if (fileName == nullptr || size == 0) return 0;
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return 0;
  path.resize(static_cast<std::size_t>(n));
  // As on Windows: a path that does not fit is truncated and the size is returned.
  DWORD copied = static_cast<DWORD>(path.size()) < size ? static_cast<DWORD>(path.size()) : size - 1;
  std::memcpy(fileName, path.data(), copied);
  fileName[copied] = '\0';
  return static_cast<DWORD>(path.size()) < size ? copied : size;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr) return 0;
  std::string dir(cwd);
  std::free(cwd);
  // Too small a buffer gets nothing, and the size needed with its terminator.
  if (buffer == nullptr || size <= dir.size()) return static_cast<DWORD>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<DWORD>(dir.size());
}

BOOL SetCurrentDirectoryA(LPCSTR path) { return path && chdir(path) == 0 ? TRUE : FALSE; }

BOOL DeleteFileA(LPCSTR path) { return path && unlink(path) == 0 ? TRUE : FALSE; }

std::string OsCreatePrivateTempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/show-player-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

bool OsRemoveEmptyFolder(const std::string& folder) { return rmdir(folder.c_str()) == 0; }

void OutputDebugStringA(LPCSTR text) {
  if (text == nullptr) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

int OsAddExitHandler(std::function<void()> handler) {
  OrdinaryExitHandlers& registered = ExitHandlers();
  registered.handlers.emplace_back(++registered.next, std::move(handler));
  return registered.next;
}

void OsRemoveExitHandler(int handler) {
  auto& handlers = ExitHandlers().handlers;
  std::erase_if(handlers, [handler](const auto& entry) { return entry.first == handler; });
}

void OsExit(UINT exitStatus) {
  if (ExitHandler()) ExitHandler()(exitStatus);
  // Each handler leaves the list before it runs, so one that ends the process
  // again does not run twice.
  auto& handlers = ExitHandlers().handlers;
  while (!handlers.empty()) {
    std::function<void()> handler = std::move(handlers.back().second);
    handlers.pop_back();
    handler();
  }
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(exitStatus));
}

void ExitProcess(UINT exitCode) {
  if (ExitHandler()) ExitHandler()(exitCode);
  // Like the system call it stands for: no destructors run; buffered output is kept.
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(exitCode));
}
