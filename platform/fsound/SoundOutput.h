// Where the mix goes. A device output pulls the mix on the sound device's thread;
// the silent output pulls it on a thread of its own at the pace of the wall clock
// and drops it, so streams advance as if heard. (The offline output has no object:
// the host pulls the mix itself, see fsoundhost.h.) Destroying an output stops its
// thread; no pull runs afterwards. Internal to platform/fsound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// Fills `frames` interleaved stereo frames at the mixing rate. Called on the
// output's thread; takes the system lock itself.
using MixSource = std::function<void(std::int16_t* out, std::size_t frames)>;

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
};

// The default sound device through SDL audio, with a buffer of about `bufferMs`;
// null when no device can be opened.
std::unique_ptr<SoundOutput> OpenDeviceOutput(MixSource source, int mixRate, int bufferMs);
// Never fails short of thread creation failing (null then).
std::unique_ptr<SoundOutput> StartSilentOutput(MixSource source, int mixRate);
