#include "fuzz/Mp3FuzzInput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/fsound/fmod.h"
#include "platform/fsound/fsoundhost.h"

namespace {

// The one file the callbacks serve, under any name; handle 1 while open.
struct ServedFile {
  const std::uint8_t* data = nullptr;
  long size = 0;
  long position = 0;
  bool open = false;
};
ServedFile served;

constexpr unsigned int kHandle = 1;

unsigned int Open(const char*) {
  if (served.open) return 0;  // the player never opens one stream twice
  served.open = true;
  served.position = 0;
  return kHandle;
}
void Close(unsigned int handle) {
  if (handle == kHandle) served.open = false;
}
int Read(void* buffer, int size, unsigned int handle) {
  if (handle != kHandle || !served.open || size <= 0) return 0;
  const long n = std::min<long>(size, served.size - served.position);
  if (n > 0) std::memcpy(buffer, served.data + served.position, static_cast<std::size_t>(n));
  served.position += std::max(n, 0L);
  return static_cast<int>(std::max(n, 0L));
}
int Seek(unsigned int handle, int pos, signed char mode) {
  if (handle != kHandle || !served.open) return 1;
  const long base = mode == 0 ? 0 : mode == 1 ? served.position : mode == 2 ? served.size : -1;
  if (base < 0) return 1;
  served.position = std::clamp(base + pos, 0L, served.size);
  return 0;
}
int Tell(unsigned int handle) {
  return handle == kHandle && served.open ? static_cast<int>(served.position) : -1;
}

struct Harness {
  Harness() {
    FSoundHostSetOutput(FSoundHostOutput::Offline);
    if (!FSOUND_Init(kFSoundMixRate, 32, 0) ||
        !FSOUND_File_SetCallbacks(Open, Close, Read, Seek, Tell)) {
      std::fprintf(stderr, "mp3 fuzz: no sound system (error %d)\n", FSOUND_GetError());
      std::abort();
    }
  }
};

void Mix(std::size_t frames) {
  static std::vector<std::int16_t> out;
  out.resize(frames * 2);
  FSoundHostRender(out.data(), frames);
}

}  // namespace

void PlayMp3Bytes(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  served = ServedFile{data, static_cast<long>(std::min<std::size_t>(size, 1u << 30))};
  FSOUND_STREAM* stream =
      FSOUND_Stream_OpenFile("fuzz.mp3", FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0);
  if (!stream) {
    if (served.open) {
      std::fprintf(stderr, "mp3 fuzz: a refused stream left its file open\n");
      std::abort();
    }
    return;
  }
  FSOUND_Stream_SetTime(stream, 0);
  const int channel = FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 1);
  FSOUND_SetPaused(channel, 0);
  FSOUND_SetVolume(channel, 200);
  Mix(3000);
  for (int ms : {40, 1000000, -5, 2147483647, 10}) {
    FSOUND_Stream_SetTime(stream, ms);
    Mix(1500);
  }
  FSOUND_StopSound(channel);
  FSOUND_Stream_Close(stream);
  if (served.open) {
    std::fprintf(stderr, "mp3 fuzz: a closed stream left its file open\n");
    std::abort();
  }
}
