// ALSA's own error reports ("cannot find card '0'" and the like, several lines on a
// machine without a sound card) would reach the user's terminal. SDL loads the library
// by name, so a handler set on the same library here is the one it uses.
#include "platform/fsound/QuietSoundSystem.h"

#include <dlfcn.h>

namespace {
void QuietAlsaReport(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

void QuietSoundSystem() {
  static bool done = false;
  if (done) return;
  done = true;
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
  if (!alsa) return;  // no ALSA, nothing to quieten; the library stays loaded otherwise
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
    set(&QuietAlsaReport);
}
