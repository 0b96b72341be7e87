// The channels of the sound system and their mix: each channel plays one stream
// from its position, paused or not, at a volume of 0 to 255, and stops by itself
// when the stream ends. render() mixes every playing channel into 16-bit stereo
// (sum of sample x volume / 255, clipped). Channel handles carry a generation
// above the channel index, so a handle dies when its channel is reused.
// Internal to platform/fsound; the caller serialises every call (the system lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/fsound/fmod.h"

class StreamReader;

// A stream as the interface hands it out; the sound system owns it.
struct FSOUND_STREAM {
  std::unique_ptr<StreamReader> reader;
  int channel = -1;  // handle of the channel playing it, or -1
};

class Mixer {
 public:
  // 1 to kMaxChannels channels.
  static constexpr int kMaxChannels = 256;  // the 32-bit sum cannot overflow
  explicit Mixer(int channelCount);

  // Starts `stream` on channel `index` (FSOUND_FREE: the first idle one), stopping
  // what played there and the channel the stream played on. Returns the handle,
  // or -1 with `error` set.
  int play(int index, FSOUND_STREAM* stream, bool paused, int& error);
  // False for a handle that never was or whose channel has been reused; FSOUND_ALL
  // applies to every channel.
  bool setPaused(int handle, bool paused);
  bool setVolume(int handle, int volume);
  bool stop(int handle);
  // Stops the channel `stream` plays on, if any.
  void stopStream(FSOUND_STREAM* stream);

  // Mixes the next `frames` frames into `out` (interleaved left, right).
  void render(std::int16_t* out, std::size_t frames);

 private:
  struct Channel {
    FSOUND_STREAM* stream = nullptr;  // null: idle
    bool paused = false;
    int volume = 255;
    unsigned generation = 0;
  };
  Channel* find(int handle);
  template <class F>
  bool apply(int handle, F f);
  void halt(Channel& channel);

  std::vector<Channel> channels_;
  unsigned nextGeneration_ = 1;
  std::vector<std::int32_t> sum_;
  std::vector<std::int16_t> decoded_;
};
