// Host seams of the sound layer that FSOUND itself does not have: capture runs
// mix the music offline, in step with their virtual clock, instead of playing it;
// tests read what was opened and can make the library report another version.
// Settings are process-wide; call them from the thread that calls FSOUND.
#pragma once

#include <cstddef>
#include <cstdint>

// The one mixing rate, in frames per second.
constexpr int kFSoundMixRate = 44100;

enum class FSoundHostOutput {
  Requested,  // what FSOUND_SetOutput chose (the default)
  Offline,    // no device and no thread: the mix is made only by FSoundHostRender
};
// Takes effect at the next FSOUND_Init.
void FSoundHostSetOutput(FSoundHostOutput output);

enum class FSoundActiveOutput { None, Device, Silent, Offline };
// What the running sound system mixes to; None before FSOUND_Init and after FSOUND_Close.
FSoundActiveOutput FSoundHostActiveOutput();

// Offline output: mixes the next `frames` frames (interleaved left, right, 16-bit,
// kFSoundMixRate) into `out`, advancing every playing channel. Without a running
// offline system it writes silence and returns false.
bool FSoundHostRender(std::int16_t* out, std::size_t frames);

// Tests: the version FSOUND_GetVersion reports; 0 restores the library's own.
void FSoundHostSetReportedVersion(float version);
