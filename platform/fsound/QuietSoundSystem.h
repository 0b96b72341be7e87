// Keeps the system's own sound libraries from writing to the user's terminal while
// SDL tries its back ends; the outcome is reported once, by the caller. Each back end
// (desktop/, web/) has its own. Entry thread, before SDL's audio starts.
#pragma once

void QuietSoundSystem();
