// The progress line of a long run on standard error. On a terminal it is rewritten
// in place with a carriage return; for as long as it shows, standard error is a
// stream of our own over the same descriptor, so that any other text written to it
// (by this program or a library) first ends the line and starts on its own.
// Elsewhere every progress call writes one whole line.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/os/oshost.h"

namespace {

FILE* original = nullptr;     // standard error before ours replaced it
FILE* guarded = nullptr;      // ours, while a line shows on a terminal
std::atomic<bool> lineOpen{false};
std::size_t shownLength = 0;  // of the line on screen, to blank a longer one

void WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(STDERR_FILENO, data, size);
    if (n <= 0) return;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void EndOpenLine() {
  if (lineOpen.exchange(false)) WriteAll("\n", 1);
}

#ifdef __EMSCRIPTEN__
// A page's console is no terminal, and its C library's standard error is fixed.
bool IsTerminal() { return false; }
void SetStandardError(FILE*) {}
#else
bool IsTerminal() { return ::isatty(STDERR_FILENO) == 1; }
void SetStandardError(FILE* stream) { stderr = stream; }
#endif

ssize_t GuardedWrite(void*, const char* data, std::size_t size) {
  EndOpenLine();
  WriteAll(data, size);
  return static_cast<ssize_t>(size);
}

}  // namespace

bool OsStandardErrorIsTerminal() { return IsTerminal(); }

void OsShowProgress(const std::string& text) {
  if (!OsStandardErrorIsTerminal()) {
    std::fflush(stderr);
    const std::string line = text + "\n";
    WriteAll(line.data(), line.size());
    return;
  }
  if (!guarded) {
    std::fflush(stderr);
    cookie_io_functions_t io{};
    io.write = GuardedWrite;
    guarded = fopencookie(nullptr, "w", io);
    if (guarded) {
      std::setvbuf(guarded, nullptr, _IONBF, 0);
      original = stderr;
      SetStandardError(guarded);
    }
  }
  std::string line = "\r" + text;
  if (text.size() < shownLength) line.append(shownLength - text.size(), ' ');
  shownLength = text.size();
  WriteAll(line.data(), line.size());
  lineOpen = true;
}

void OsEndProgress() {
  EndOpenLine();
  shownLength = 0;
  if (guarded) {
    SetStandardError(original);
    std::fclose(guarded);
    guarded = nullptr;
  }
}
