// CPU time to decode and mix one minute of 44.1 kHz stereo MP3 through the FSOUND
// layer (offline output, 1024-frame blocks as a device would ask), against
// libmpg123 decoding the same file alone. Goal: the layer adds under 25 %.
// The music is made at start-up with lame (60 s, 128 kbit/s joint stereo).
#include <benchmark/benchmark.h>
#include <mpg123.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/fsound/fmod.h"
#include "platform/fsound/fsoundhost.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 60;
std::string mp3;  // the minute of music
double aloneCpu = 0;
double layerCpu = 0;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Two detuned voices with a slow chord change: enough variety for a real bit rate.
bool MakeMusic() {
  char dir[] = "/tmp/fsoundbenchXXXXXX";
  if (!mkdtemp(dir)) return false;
  std::string wav = std::string(dir) + "/in.wav";
  std::string out = std::string(dir) + "/in.mp3";
  {
    std::ofstream f(wav, std::ios::binary);
    auto put = [&](std::uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) f.put(static_cast<char>(v >> (8 * i)));
    };
    const std::uint32_t frames = kRate * kSeconds;
    f.write("RIFF", 4), put(36 + frames * 4, 4), f.write("WAVEfmt ", 8);
    put(16, 4), put(1, 2), put(2, 2), put(kRate, 4), put(kRate * 4, 4), put(4, 2), put(16, 2);
    f.write("data", 4), put(frames * 4, 4);
    std::uint32_t noise = 1;
    for (std::uint32_t i = 0; i < frames; ++i) {
      double t = static_cast<double>(i) / kRate;
      double base = 110.0 * std::pow(2.0, static_cast<int>(t / 2) % 5 / 12.0);
      noise = noise * 1664525u + 1013904223u;
      double hiss = (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 0.05;
      double l = 0.3 * std::sin(2 * M_PI * base * t) + 0.2 * std::sin(2 * M_PI * base * 3.01 * t);
      double r = 0.3 * std::sin(2 * M_PI * base * 1.5 * t) + 0.2 * std::sin(2 * M_PI * base * 4.02 * t);
      put(static_cast<std::uint16_t>(static_cast<std::int16_t>((l + hiss) * 20000)), 2);
      put(static_cast<std::uint16_t>(static_cast<std::int16_t>((r - hiss) * 20000)), 2);
    }
  }
  std::string command = "lame --silent -b 128 -m j '" + wav + "' '" + out + "'";
  bool made = std::system(command.c_str()) == 0;
  std::ifstream in(out, std::ios::binary);
  mp3.assign(std::istreambuf_iterator<char>(in), {});
  std::remove(wav.c_str());
  std::remove(out.c_str());
  rmdir(dir);
  return made && !mp3.empty();
}

// The minute served from memory to both contenders.
struct Reader {
  std::size_t position = 0;
};
Reader fileReader;

unsigned int Open(const char*) {
  fileReader.position = 0;
  return 1;
}
void Close(unsigned int) {}
int Read(void* buffer, int size, unsigned int) {
  std::size_t n = std::min(static_cast<std::size_t>(size), mp3.size() - fileReader.position);
  std::memcpy(buffer, mp3.data() + fileReader.position, n);
  fileReader.position += n;
  return static_cast<int>(n);
}
int Seek(unsigned int, int pos, signed char mode) {
  long base = mode == 1 ? static_cast<long>(fileReader.position) : mode == 2 ? static_cast<long>(mp3.size()) : 0;
  long p = std::clamp(base + pos, 0L, static_cast<long>(mp3.size()));
  fileReader.position = static_cast<std::size_t>(p);
  return 0;
}
int Tell(unsigned int) { return static_cast<int>(fileReader.position); }

long MpgRead(void*, void* buffer, std::size_t bytes) { return Read(buffer, static_cast<int>(bytes), 1); }
long MpgSeek(void*, long offset, int whence) {
  Seek(1, static_cast<int>(offset), static_cast<signed char>(whence));
  return Tell(1);
}

void Mpg123Alone(benchmark::State& state) {
  std::vector<unsigned char> out(1024 * 4);
  double cpu = 0;
  for (auto _ : state) {
    double start = CpuSeconds();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(h);
    mpg123_format(h, kRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_replace_reader_handle(h, MpgRead, MpgSeek, nullptr);
    mpg123_open_handle(h, &fileReader);
    std::size_t done = 0, total = 0;
    int status = MPG123_OK;
    while ((status = mpg123_read(h, out.data(), out.size(), &done)) == MPG123_OK ||
           status == MPG123_NEW_FORMAT)
      total += done;
    total += done;
    benchmark::DoNotOptimize(out.data());
    mpg123_delete(h);
    cpu += CpuSeconds() - start;
    if (total / 4 < static_cast<std::size_t>(kRate) * (kSeconds - 1)) state.SkipWithError("short decode");
  }
  aloneCpu = cpu / static_cast<double>(state.iterations());
}

void FsoundDecodeAndMix(benchmark::State& state) {
  FSoundHostSetOutput(FSoundHostOutput::Offline);
  FSOUND_Init(kRate, 32, 0);
  FSOUND_File_SetCallbacks(Open, Close, Read, Seek, Tell);
  std::vector<std::int16_t> out(1024 * 2);
  double cpu = 0;
  for (auto _ : state) {
    double start = CpuSeconds();
    FSOUND_STREAM* stream = FSOUND_Stream_OpenFile("minute.mp3", FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0);
    int channel = FSOUND_Stream_PlayEx(FSOUND_FREE, stream, nullptr, 0);
    FSOUND_SetVolume(channel, 200);
    for (long frames = 0; frames < static_cast<long>(kRate) * kSeconds; frames += 1024)
      FSoundHostRender(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
    FSOUND_Stream_Close(stream);
    cpu += CpuSeconds() - start;
    if (!stream) state.SkipWithError("open failed");
  }
  layerCpu = cpu / static_cast<double>(state.iterations());
  FSOUND_Close();
  FSoundHostSetOutput(FSoundHostOutput::Requested);
}

}  // namespace

BENCHMARK(Mpg123Alone)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FsoundDecodeAndMix)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!MakeMusic()) {
    std::fprintf(stderr, "bench_fsound_mix: lame could not make the test minute\n");
    return 1;
  }
  mpg123_init();
  benchmark::RunSpecifiedBenchmarks();
  if (aloneCpu > 0 && layerCpu > 0)
    std::printf("one minute: libmpg123 alone %.1f ms CPU, decode and mix %.1f ms CPU: +%.1f %%\n",
                aloneCpu * 1e3, layerCpu * 1e3, (layerCpu / aloneCpu - 1) * 100);
  benchmark::Shutdown();
  return 0;
}
