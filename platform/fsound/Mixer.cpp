#include "platform/fsound/Mixer.h"

#include <algorithm>

#include "platform/fsound/StreamReader.h"

namespace {
constexpr int kIndexBits = 12;
constexpr int kIndexMask = (1 << kIndexBits) - 1;
constexpr unsigned kGenerationLimit = 1u << (31 - kIndexBits);  // handles stay positive
constexpr std::size_t kChunkFrames = 1024;
}  // namespace

Mixer::Mixer(int channelCount)
    : channels_(static_cast<std::size_t>(std::clamp(channelCount, 1, kMaxChannels))),
      sum_(kChunkFrames * 2),
      decoded_(kChunkFrames * 2) {}

int Mixer::play(int index, FSOUND_STREAM* stream, bool paused, int& error) {
  Channel* target = nullptr;
  if (index == FSOUND_FREE) {
    for (Channel& c : channels_)
      if (!c.stream) {
        target = &c;
        break;
      }
    if (!target) {
      error = FMOD_ERR_CHANNEL_ALLOC;
      return -1;
    }
  } else if (index >= 0 && static_cast<std::size_t>(index) < channels_.size()) {
    target = &channels_[static_cast<std::size_t>(index)];
  } else {
    error = FMOD_ERR_INVALID_PARAM;
    return -1;
  }
  stopStream(stream);
  if (target->stream) halt(*target);
  target->stream = stream;
  target->paused = paused;
  target->volume = 255;
  target->generation = nextGeneration_;
  nextGeneration_ = nextGeneration_ + 1 < kGenerationLimit ? nextGeneration_ + 1 : 1;
  int handle = static_cast<int>(target->generation << kIndexBits) |
               static_cast<int>(target - channels_.data());
  stream->channel = handle;
  return handle;
}

Mixer::Channel* Mixer::find(int handle) {
  if (handle < 0) return nullptr;
  std::size_t index = static_cast<std::size_t>(handle & kIndexMask);
  unsigned generation = static_cast<unsigned>(handle) >> kIndexBits;
  if (index >= channels_.size() || generation == 0) return nullptr;
  Channel& c = channels_[index];
  return c.generation == generation ? &c : nullptr;
}

template <class F>
bool Mixer::apply(int handle, F f) {
  if (handle == FSOUND_ALL) {
    for (Channel& c : channels_) f(c);
    return true;
  }
  Channel* c = find(handle);
  if (!c) return false;
  f(*c);
  return true;
}

bool Mixer::setPaused(int handle, bool paused) {
  return apply(handle, [&](Channel& c) { c.paused = paused; });
}

bool Mixer::setVolume(int handle, int volume) {
  return apply(handle, [&](Channel& c) { c.volume = std::clamp(volume, 0, 255); });
}

bool Mixer::stop(int handle) {
  return apply(handle, [&](Channel& c) {
    if (c.stream) halt(c);
  });
}

void Mixer::stopStream(FSOUND_STREAM* stream) {
  if (Channel* c = find(stream->channel); c && c->stream == stream) halt(*c);
  stream->channel = -1;
}

void Mixer::halt(Channel& channel) {
  channel.stream->channel = -1;
  channel.stream = nullptr;
  channel.paused = false;
}

void Mixer::render(std::int16_t* out, std::size_t frames) {
  while (frames > 0) {
    std::size_t n = std::min(frames, kChunkFrames);
    std::fill_n(sum_.begin(), n * 2, 0);
    for (Channel& c : channels_) {
      if (!c.stream || c.paused) continue;
      std::size_t got = c.stream->reader->read(decoded_.data(), n);
      const std::int32_t volume = c.volume;
      for (std::size_t i = 0; i < got * 2; ++i) sum_[i] += decoded_[i] * volume;
      if (got < n) halt(c);  // the music has ended
    }
    for (std::size_t i = 0; i < n * 2; ++i)
      out[i] = static_cast<std::int16_t>(std::clamp(sum_[i] / 255, -32768, 32767));
    out += n * 2;
    frames -= n;
  }
}
