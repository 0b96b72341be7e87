#include "media/SoundSystem.h"

// No sound library in this build yet: there is nothing to start or close.
void StartSoundSystem() {}
void CloseSoundSystem() {}
