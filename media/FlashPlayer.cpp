#include "media/FlashPlayer.h"

#include <cstdio>
#include <vector>

#include "archive/CFLArchive.h"
#include "platform/os/oshost.h"

namespace {

constexpr DWORD kHostWindowStyle = WS_POPUP;

// The designed text names no file: standard error says which, and why.
[[noreturn]] void CouldNotLoad(const char* name, const char* why) {
  std::fprintf(stderr, "FlashPlayer: movie '%s' %s\n", name, why);
  OsFatal("Error", "Couldn't load 2d content!", 0);
}

bool ReadableOnDisk(const char* name) {
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// Writes the archive's copy of movie `name` to the new file `destination` for the
// control to read. An existing file is never replaced: a file that is there but
// cannot be read stays the user's, and this fails. A partial copy is removed.
bool WriteArchiveCopy(const CFLArchive& archive, const char* name, const std::string& destination) {
  const std::uint32_t size = archive.GetSize(name);
  const std::unique_ptr<std::uint8_t[]> bytes = archive.ReadWhole(name);
  if (!bytes && size > 0) return false;  // a damaged entry has no bytes to write
  std::FILE* out = std::fopen(destination.c_str(), "wbx");
  if (out == nullptr) return false;
  bool written = size == 0 || std::fwrite(bytes.get(), 1, size, out) == size;
  written = std::fclose(out) == 0 && written;
  if (!written) DeleteFileA(destination.c_str());
  return written;
}

// The archive's copy of a movie in a private temporary folder, for a show played
// from read-only media; the file and the folder go with the object.
class TemporaryMovieCopy {
 public:
  TemporaryMovieCopy(const CFLArchive& archive, const char* name) {
    folder = OsCreatePrivateTempFolder();
    if (folder.empty()) return;
    const std::string base = std::string(name).substr(std::string(name).find_last_of("/\\") + 1);
    const std::string candidate = folder + "/" + (base.empty() ? "movie" : base);
    if (WriteArchiveCopy(archive, name, candidate)) path = candidate;
  }
  ~TemporaryMovieCopy() {
    if (!path.empty() && !DeleteFileA(path.c_str()))
      std::fprintf(stderr, "FlashPlayer: could not delete the copy '%s'\n", path.c_str());
    if (!folder.empty()) OsRemoveEmptyFolder(folder);
  }
  TemporaryMovieCopy(const TemporaryMovieCopy&) = delete;
  TemporaryMovieCopy& operator=(const TemporaryMovieCopy&) = delete;

  std::string path;  // empty when no copy could be written

 private:
  std::string folder;
};

// The current directory at any length; empty when it cannot be read.
std::string CurrentDirectory() {
  for (int attempt = 0; attempt < 3; ++attempt) {  // it may change between the calls
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return {};
    std::string directory(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, directory.data());
    if (length > 0 && length < needed) {
      directory.resize(length);
      return directory;
    }
  }
  return {};
}

// `text` in UTF-16 from the ANSI code page, with its terminator; empty on failure.
std::vector<WCHAR> ToWide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::vector<WCHAR> wide(static_cast<std::size_t>(length));
  if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length) != length) return {};
  return wide;
}

}  // namespace

std::string FlashMoviePath(const std::string& currentDirectory, const std::string& fileName) {
  if (fileName.size() >= 2 && fileName[1] == ':') return fileName;
  if (!fileName.empty() && fileName.front() == '/') return fileName;  // absolute here
  if (currentDirectory.empty()) return fileName;
  const char last = currentDirectory.back();
  return currentDirectory + (last == '\\' || last == '/' ? "" : "/") + fileName;
}

FlashPlayer::FlashPlayer(IDirect3DDevice9* device, std::uint32_t width, std::uint32_t height,
                         const char* fileName)
    : width(width), height(height), device(device), fileName(fileName ? fileName : "") {
  const char* name = this->fileName.c_str();
  bool deleteCopy = false;
  std::unique_ptr<TemporaryMovieCopy> temporaryCopy;
  std::string controlPath = FlashMoviePath(CurrentDirectory(), this->fileName);
  if (!ReadableOnDisk(name)) {
    const CFLArchive* archive = ProgramArchive();
    if (archive == nullptr || !archive->Exists(name))
      CouldNotLoad(name, "is neither a readable file nor in the archive");
    if (WriteArchiveCopy(*archive, name, name)) {
      deleteCopy = true;
    } else {
      // The show's folder may be read-only (a release on a CD or a mounted image).
      temporaryCopy = std::make_unique<TemporaryMovieCopy>(*archive, name);
      if (temporaryCopy->path.empty())
        CouldNotLoad(name, "is in the archive but could not be written out for the control");
      controlPath = temporaryCopy->path;
    }
  }

  RECT rect{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
  AdjustWindowRect(&rect, 0, FALSE);
  const std::vector<WCHAR> moviePath = ToWide(controlPath);

  window = std::make_unique<CAxFlashWindow>();
  window->Create(nullptr, rect, nullptr, kHostWindowStyle, 0);
  if (IShockwaveFlash* flash = window->flash) {
    check(flash->put_Menu(VARIANT_FALSE), "Menu");
    check(flash->put_BackgroundColor(0), "BackgroundColor");
    check(flash->put_Quality(0), "Quality");
    BSTR movie = moviePath.empty() ? nullptr : SysAllocString(moviePath.data());
    check(movie ? flash->put_Movie(movie) : E_OUTOFMEMORY, "Movie");
    SysFreeString(movie);
    check(flash->put_Playing(VARIANT_FALSE), "Playing");
  } else {
    std::fprintf(stderr, "FlashPlayer: no movie control for '%s'\n", name);
  }

  if (deleteCopy && !DeleteFileA(name))
    std::fprintf(stderr, "FlashPlayer: could not delete the copy '%s'\n", name);
}

FlashPlayer::~FlashPlayer() = default;

void FlashPlayer::setQuality(std::int32_t value) {
  if (window->flash) check(window->flash->put_Quality(value), "Quality");
}

void FlashPlayer::setMode(std::int32_t value) {
  if (value == 1 && window->flash) check(window->flash->put_BackgroundColor(0), "BackgroundColor");
}

void FlashPlayer::check(HRESULT result, const char* property) const {
  if (FAILED(result))
    std::fprintf(stderr, "FlashPlayer: setting %s for '%s' failed (0x%08X)\n", property,
                 fileName.c_str(), static_cast<unsigned>(result));
}
