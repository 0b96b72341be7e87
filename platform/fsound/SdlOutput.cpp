#include <SDL.h>

#include "platform/fsound/QuietSoundSystem.h"
#include "platform/fsound/SoundOutput.h"

namespace {

class SdlOutput : public SoundOutput {
 public:
  explicit SdlOutput(MixSource source) : source_(std::move(source)) {}
  ~SdlOutput() override {
    if (device_) SDL_CloseAudioDevice(device_);  // waits for a running callback
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool open(int mixRate, int bufferMs) {
    QuietSoundSystem();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    subsystem_ = true;
    SDL_AudioSpec want{};
    want.freq = mixRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    // The buffer is mixed in four blocks: each callback fills the largest power of
    // two that fits a quarter of the asked time.
    long frames = static_cast<long>(mixRate) * bufferMs / 4000;
    Uint16 samples = 256;
    while (samples < 32768 && samples * 2 <= frames) samples = static_cast<Uint16>(samples * 2);
    want.samples = samples;
    want.callback = &SdlOutput::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

 private:
  static void callback(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlOutput*>(self);
    output->source_(reinterpret_cast<std::int16_t*>(stream),
                    static_cast<std::size_t>(bytes) / (2 * sizeof(std::int16_t)));
  }

  MixSource source_;
  SDL_AudioDeviceID device_ = 0;
  bool subsystem_ = false;
};

}  // namespace

std::unique_ptr<SoundOutput> OpenDeviceOutput(MixSource source, int mixRate, int bufferMs) {
  auto output = std::make_unique<SdlOutput>(std::move(source));
  if (!output->open(mixRate, bufferMs)) return nullptr;
  return output;
}
