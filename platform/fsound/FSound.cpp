// The FSOUND functions over one process-wide sound system. The system lock keeps
// the interface's calls and the mixing thread apart; outputs are opened and closed
// outside it, because closing waits for the mixing thread, which takes the lock.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/fsound/FileCallbacks.h"
#include "platform/fsound/Mixer.h"
#include "platform/fsound/Mp3Decoder.h"
#include "platform/fsound/SoundOutput.h"
#include "platform/fsound/StreamReader.h"
#include "platform/fsound/fmod.h"
#include "platform/fsound/fsoundhost.h"

namespace {

// Said once a process: a show restarted or reloaded opens the output again.
void SayNoSoundDevice() {
  static bool said = false;
  if (said) return;
  said = true;
  std::fputs("demo: no sound device could be opened; the music plays silently, in time\n", stderr);
}

constexpr unsigned int kStreamModes = FSOUND_LOOP_OFF | FSOUND_8BITS | FSOUND_16BITS |
                                      FSOUND_MONO | FSOUND_STEREO | FSOUND_UNSIGNED |
                                      FSOUND_SIGNED | FSOUND_2D | FSOUND_HW2D |
                                      FSOUND_MPEGACCURATE;

struct SoundSystem {
  std::mutex lock;
  int error = FMOD_ERR_NONE;
  bool initialised = false;
  int outputType = FSOUND_OUTPUT_DSOUND;
  int bufferMs = 100;
  int streamBufferMs = 2000;
  FileCallbacks files = DiskFileCallbacks();
  std::unique_ptr<Mixer> mixer;
  std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
  std::unique_ptr<SoundOutput> output;
  FSoundActiveOutput active = FSoundActiveOutput::None;
  FSoundHostOutput hostOutput = FSoundHostOutput::Requested;
  float reportedVersion = 0;

  // Mixing threads may still run at exit, so the system is never destroyed.
  static SoundSystem& get() {
    static auto* system = new SoundSystem();
    return *system;
  }

  void render(std::int16_t* out, std::size_t frames) {
    std::lock_guard<std::mutex> guard(lock);
    if (mixer) {
      mixer->render(out, frames);
    } else {
      std::fill_n(out, frames * 2, std::int16_t{0});
    }
  }

  FSOUND_STREAM* find(FSOUND_STREAM* stream) {
    for (auto& s : streams)
      if (s.get() == stream) return stream;
    return nullptr;
  }
};

using Guard = std::lock_guard<std::mutex>;

// Records the outcome of a call: FMOD_ERR_NONE on success.
template <class T>
T Fail(SoundSystem& s, int error, T result) {
  s.error = error;
  return result;
}

signed char Done(SoundSystem& s) {
  s.error = FMOD_ERR_NONE;
  return 1;
}

signed char SetBeforeInit(bool valid, int& field, int value) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  if (s.initialised) return Fail<signed char>(s, FMOD_ERR_BUSY, 0);
  if (!valid) return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
  field = value;
  return Done(s);
}

template <class F>
signed char OnChannel(F f) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  if (!s.initialised) return Fail<signed char>(s, FMOD_ERR_UNINITIALIZED, 0);
  if (!f(*s.mixer)) return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
  return Done(s);
}

}  // namespace

float F_API FSOUND_GetVersion() {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  return s.reportedVersion != 0 ? s.reportedVersion : FMOD_VERSION;
}

signed char F_API FSOUND_SetOutput(int outputtype) {
  bool valid = outputtype == FSOUND_OUTPUT_NOSOUND || outputtype == FSOUND_OUTPUT_DSOUND;
  return SetBeforeInit(valid, SoundSystem::get().outputType, outputtype);
}

signed char F_API FSOUND_SetDriver(int driver) {
  int ignored = 0;
  return SetBeforeInit(driver == 0, ignored, driver);
}

signed char F_API FSOUND_SetBufferSize(int len_ms) {
  return SetBeforeInit(len_ms >= 10 && len_ms <= 2000, SoundSystem::get().bufferMs, len_ms);
}

signed char F_API FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags) {
  SoundSystem& s = SoundSystem::get();
  int outputType = 0;
  int bufferMs = 0;
  bool offline = false;
  {
    Guard guard(s.lock);
    if (s.initialised) return Fail<signed char>(s, FMOD_ERR_BUSY, 0);
    if (mixrate != kFSoundMixRate || maxsoftwarechannels < 1 ||
        maxsoftwarechannels > Mixer::kMaxChannels || flags != 0)
      return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
    s.mixer = std::make_unique<Mixer>(maxsoftwarechannels);
    s.initialised = true;
    outputType = s.outputType;
    bufferMs = s.bufferMs;
    offline = s.hostOutput == FSoundHostOutput::Offline;
    if (offline) {
      s.active = FSoundActiveOutput::Offline;
      return Done(s);
    }
  }
  MixSource source = [&s](std::int16_t* out, std::size_t frames) { s.render(out, frames); };
  FSoundActiveOutput active = FSoundActiveOutput::Device;
  std::unique_ptr<SoundOutput> output;
  if (outputType == FSOUND_OUTPUT_DSOUND) output = OpenDeviceOutput(source, mixrate, bufferMs);
  if (!output) {
    // No device: the music goes on unheard, in time.
    if (outputType == FSOUND_OUTPUT_DSOUND) SayNoSoundDevice();
    active = FSoundActiveOutput::Silent;
    output = StartSilentOutput(source, mixrate);
  }
  Guard guard(s.lock);
  if (!output) {
    s.mixer.reset();
    s.initialised = false;
    return Fail<signed char>(s, FMOD_ERR_INIT, 0);
  }
  s.output = std::move(output);
  s.active = active;
  return Done(s);
}

void F_API FSOUND_Close() {
  SoundSystem& s = SoundSystem::get();
  std::unique_ptr<SoundOutput> output;
  {
    Guard guard(s.lock);
    s.error = FMOD_ERR_NONE;
    if (!s.initialised) return;
    output = std::move(s.output);
  }
  output.reset();
  std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
  {
    Guard guard(s.lock);
    streams = std::move(s.streams);
    s.streams.clear();
    s.mixer.reset();
    s.initialised = false;
    s.active = FSoundActiveOutput::None;
  }
  // Closing a stream calls its close callback: outside the lock.
  streams.clear();
}

int F_API FSOUND_GetError() {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  return s.error;
}

signed char F_API FSOUND_Stream_SetBufferSize(int ms) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  if (ms < 1 || ms > 10000) return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
  s.streamBufferMs = ms;
  return Done(s);
}

signed char F_API FSOUND_File_SetCallbacks(FSOUND_OPENCALLBACK useropen,
                                           FSOUND_CLOSECALLBACK userclose,
                                           FSOUND_READCALLBACK userread,
                                           FSOUND_SEEKCALLBACK userseek,
                                           FSOUND_TELLCALLBACK usertell) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  FileCallbacks files{useropen, userclose, userread, userseek, usertell};
  bool none = !useropen && !userclose && !userread && !userseek && !usertell;
  if (!none && !files.complete()) return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
  s.files = none ? DiskFileCallbacks() : files;
  return Done(s);
}

FSOUND_STREAM* F_API FSOUND_Stream_OpenFile(const char* filename, unsigned int mode,
                                            int lenbytes) {
  SoundSystem& s = SoundSystem::get();
  FileCallbacks files;
  {
    Guard guard(s.lock);
    if (!s.initialised) return Fail<FSOUND_STREAM*>(s, FMOD_ERR_UNINITIALIZED, nullptr);
    if (!filename || (mode & ~kStreamModes) != 0 || lenbytes != 0)
      return Fail<FSOUND_STREAM*>(s, FMOD_ERR_INVALID_PARAM, nullptr);
    files = s.files;
  }
  // Opening reads through the callbacks, which may take their own time and locks.
  int error = FMOD_ERR_NONE;
  std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(filename, files, error);
  auto stream = std::make_unique<FSOUND_STREAM>();
  if (decoder) stream->reader = std::make_unique<StreamReader>(std::move(decoder), kFSoundMixRate);
  Guard guard(s.lock);
  if (!stream->reader) return Fail<FSOUND_STREAM*>(s, error, nullptr);
  s.streams.push_back(std::move(stream));
  s.error = FMOD_ERR_NONE;
  return s.streams.back().get();
}

signed char F_API FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  if (!s.initialised) return Fail<signed char>(s, FMOD_ERR_UNINITIALIZED, 0);
  if (!s.find(stream)) return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
  stream->reader->seek(static_cast<std::int64_t>(ms) * kFSoundMixRate / 1000);  // clamps
  return Done(s);
}

int F_API FSOUND_Stream_PlayEx(int channel, FSOUND_STREAM* stream, FSOUND_DSPUNIT* dsp,
                               signed char startpaused) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  if (!s.initialised) return Fail(s, FMOD_ERR_UNINITIALIZED, -1);
  if (!s.find(stream) || dsp) return Fail(s, FMOD_ERR_INVALID_PARAM, -1);
  int error = FMOD_ERR_NONE;
  int handle = s.mixer->play(channel, stream, startpaused != 0, error);
  if (handle < 0) return Fail(s, error, -1);
  s.error = FMOD_ERR_NONE;
  return handle;
}

signed char F_API FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  SoundSystem& s = SoundSystem::get();
  std::unique_ptr<FSOUND_STREAM> closing;
  {
    Guard guard(s.lock);
    if (!s.initialised) return Fail<signed char>(s, FMOD_ERR_UNINITIALIZED, 0);
    auto it = std::find_if(s.streams.begin(), s.streams.end(),
                           [&](const auto& p) { return p.get() == stream; });
    if (it == s.streams.end()) return Fail<signed char>(s, FMOD_ERR_INVALID_PARAM, 0);
    s.mixer->stopStream(stream);
    closing = std::move(*it);
    s.streams.erase(it);
    s.error = FMOD_ERR_NONE;
  }
  return 1;
}

signed char F_API FSOUND_SetPaused(int channel, signed char paused) {
  return OnChannel([&](Mixer& m) { return m.setPaused(channel, paused != 0); });
}

signed char F_API FSOUND_SetVolume(int channel, int vol) {
  return OnChannel([&](Mixer& m) { return m.setVolume(channel, vol); });
}

signed char F_API FSOUND_StopSound(int channel) {
  return OnChannel([&](Mixer& m) { return m.stop(channel); });
}

void FSoundHostSetOutput(FSoundHostOutput output) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  s.hostOutput = output;
}

FSoundActiveOutput FSoundHostActiveOutput() {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  return s.active;
}

bool FSoundHostRender(std::int16_t* out, std::size_t frames) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  if (s.active != FSoundActiveOutput::Offline) {
    std::fill_n(out, frames * 2, std::int16_t{0});
    return false;
  }
  s.mixer->render(out, frames);
  return true;
}

void FSoundHostSetReportedVersion(float version) {
  SoundSystem& s = SoundSystem::get();
  Guard guard(s.lock);
  s.reportedVersion = version;
}
