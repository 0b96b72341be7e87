// A page has no terminal, and its sound is the browser's (Web Audio): nothing to quieten,
// and no library to load at run time.
#include "platform/fsound/QuietSoundSystem.h"

void QuietSoundSystem() {}
