#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "app/Shell.h"
#include "text/Text.h"

std::string ArchivePathBeside(const std::string& path) {
  // A name with a three-letter extension gets it replaced ("demo.exe" -> "demo.cfl");
  // a Linux executable usually has none, so "demo" looks for "demo.cfl".
  std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  bool threeLetterExtension = name.size() > 4 && name[name.size() - 4] == '.';
  if (threeLetterExtension) return path.substr(0, path.size() - 3) + "cfl";
  return path + ".cfl";
}

void OpenArchiveOf(CFLArchive& archive, const std::string& executablePath) {
  if (archive.Open(executablePath.c_str())) return;
  const std::string beside = ArchivePathBeside(executablePath);
  if (archive.Open(beside.c_str())) return;
  // No archive at all is the designed case of loose files; one that is there but
  // cannot be opened is worth a word.
  struct stat info {};
  if (stat(beside.c_str(), &info) != 0) return;
  const char* why = S_ISREG(info.st_mode) ? "it is damaged or unreadable" : "it is not a regular file";
  std::fprintf(stderr, "demo: archive %s cannot be read (%s); files come from the disk\n",
               text::Escape(beside).c_str(), why);
}

void Shell::OpenProgramArchive() {
  std::vector<char> modulePath(1024, '\0');
  GetModuleFileNameA(instance, modulePath.data(), 1024);
  OpenArchiveOf(*archive, std::string(modulePath.data()));
}

void Shell::AskFullscreen() {
  int answer = MessageBoxA(nullptr, "Would you like to run in fullscreen mode?", kCaption,
                           MB_YESNOCANCEL | MB_ICONQUESTION);
  switch (answer) {
    case IDYES:
      fullscreen = true;
      break;
    case IDNO:
      fullscreen = false;
      break;
    case IDCANCEL:
      OutputDebugStringA("User Abort");
      MessageBoxA(nullptr, "User Abort", kCaption, MB_OK);
      ExitProcess(5);
    case 0:
      OutputDebugStringA("Couldn't open MessageBox, dying");
      ExitProcess(10);
    default:
      fullscreen = false;
      break;
  }
}

void Shell::StartScript() {
  // The shell's own leases keep the sound system and the glow targets for the
  // program's life, whichever script players come and go.
  sound = std::make_unique<SoundSystemLease>();
  glowTargets = std::make_unique<GlowTargetsLease>(device.get());
  scripter = NewScripter();
  StartClock();
}

void Shell::DeleteScript() {
  scripter.reset();
  sound.reset();
  glowTargets.reset();
}

std::unique_ptr<Scripter> Shell::NewScripter() {
  auto player = std::make_unique<Scripter>(device.get(), kScreenWidth, kScreenHeight,
                                           [this] { return GetTime(); });
  player->loadScript("demo.psc", 0);
  return player;
}
