// Start-up and shutdown of the sound library, done by the script player when it
// is created and destroyed.
#pragma once

void StartSoundSystem();
void CloseSoundSystem();
