// Reading a 64 MiB zlib resource (text) and a delta16+zlib one (a height map) through
// CFLArchive::Read, against zlib's one-call uncompress of the same compressed bytes. Read includes
// reopening the archive file and reading the packed block.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "archive/CFLArchive.h"
#include "archive/CFLArchiveWriter.h"
#include "archive/CFLFilterChain.h"

namespace {

constexpr std::uint32_t kSize = 64u << 20;

std::uint32_t NextRandom(std::uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// Script-like text: words of a skewed vocabulary, numbers and line breaks.
std::vector<std::uint8_t> MakeText() {
  std::vector<std::string> words;
  std::uint32_t r = 12345;
  for (int i = 0; i < 600; ++i) {
    std::string w;
    const int length = 2 + static_cast<int>(NextRandom(r) % 9);
    for (int c = 0; c < length; ++c) w += static_cast<char>('a' + NextRandom(r) % 26);
    words.push_back(w);
  }
  std::vector<std::uint8_t> text;
  text.reserve(kSize);
  while (text.size() < kSize) {
    const std::uint32_t pick = NextRandom(r);
    // Squaring a uniform value favours the first words, as in natural text.
    const double u = (pick & 0xFFFF) / 65536.0;
    std::string token = words[static_cast<std::size_t>(u * u * words.size())];
    if ((pick >> 16) % 11 == 0) token = std::to_string((pick >> 20) % 10000);
    token += ((pick >> 24) % 13 == 0) ? '\n' : ' ';
    text.insert(text.end(), token.begin(), token.end());
  }
  text.resize(kSize);
  return text;
}

// A 16-bit terrain height map (4096 samples a row): smooth hills over a few
// scales with a little noise, the kind of data a 16-bit delta helps to pack.
std::vector<std::uint8_t> MakeHeightMap() {
  constexpr std::uint32_t kWidth = 4096;
  std::vector<std::uint8_t> map(kSize);
  std::uint32_t r = 777;
  for (std::uint32_t i = 0; i + 2 <= kSize; i += 2) {
    const double x = (i / 2) % kWidth, y = (i / 2) / kWidth;
    const double h = 20000 + 9000 * std::sin(x * 0.0021 + y * 0.0013) +
                     4000 * std::sin(x * 0.0090 - y * 0.0070) * std::cos(y * 0.0110) +
                     900 * std::sin(x * 0.0470 + y * 0.0310);
    const auto noise = static_cast<int>(NextRandom(r) % 5) - 2;
    const auto v = static_cast<std::uint16_t>(h + noise);
    map[i] = static_cast<std::uint8_t>(v);
    map[i + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  return map;
}

struct Resource {
  const char* name;
  std::uint32_t filter;
  std::vector<std::uint8_t> block;  // the packed block as stored
};

// One archive with both resources, written once for all benchmarks.
struct Fixture {
  std::string path;
  CFLArchive archive;
  Resource text{"text.txt", cfl_filter::kZlib, {}};
  Resource terrain{"terrain.r16", cfl_filter::kDelta16 | cfl_filter::kZlib, {}};

  Fixture() {
    path = (std::filesystem::temp_directory_path() /
            ("bench_archive_read_" + std::to_string(getpid()) + ".cfl"))
               .string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    CFLArchiveWriter writer(out);
    for (Resource* r : {&text, &terrain}) {
      const std::vector<std::uint8_t> data = r == &text ? MakeText() : MakeHeightMap();
      std::uint32_t length = 0;
      auto packed = Pack(data.data(), kSize, r->filter, length);
      r->block.assign(packed.get(), packed.get() + length);
      writer.Add(r->name, data.data(), kSize, r->filter);
      std::fprintf(stderr, "%s: %u bytes packed to %u with %s\n", r->name, kSize, length,
                   r == &text ? "zlib" : "delta16+zlib");
    }
    const std::uint32_t directoryFilter = cfl_filter::kZlib;
    writer.Finish(std::span<const std::uint32_t>(&directoryFilter, 1));
    out.close();
    if (!out || !archive.Open(path.c_str())) std::abort();
  }
  ~Fixture() { std::remove(path.c_str()); }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void ReadThroughArchive(benchmark::State& state, Resource Fixture::*which) {
  Fixture& f = Shared();
  const Resource& r = f.*which;
  for (auto _ : state) {
    std::uint32_t size = 0;
    auto data = f.archive.Read(r.name, size);
    if (!data || size != kSize) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(data.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}

// uncompress into one output buffer reused by every iteration (already paged in).
void UncompressSameBytes(benchmark::State& state, Resource Fixture::*which) {
  const Resource& r = Shared().*which;
  const std::uint8_t* stream = r.block.data() + 4;
  const auto streamLength = static_cast<uLong>(r.block.size() - 4);
  std::vector<std::uint8_t> out(kSize);
  for (auto _ : state) {
    uLongf length = kSize;
    if (uncompress(out.data(), &length, stream, streamLength) != Z_OK || length != kSize)
      state.SkipWithError("uncompress failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}

// uncompress into a new buffer each time, as Read hands out a new buffer.
void UncompressIntoNewBuffer(benchmark::State& state, Resource Fixture::*which) {
  const Resource& r = Shared().*which;
  const std::uint8_t* stream = r.block.data() + 4;
  const auto streamLength = static_cast<uLong>(r.block.size() - 4);
  for (auto _ : state) {
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[kSize]);
    uLongf length = kSize;
    if (uncompress(out.get(), &length, stream, streamLength) != Z_OK || length != kSize)
      state.SkipWithError("uncompress failed");
    benchmark::DoNotOptimize(out.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}

BENCHMARK_CAPTURE(ReadThroughArchive, zlib, &Fixture::text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UncompressSameBytes, zlib, &Fixture::text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UncompressIntoNewBuffer, zlib, &Fixture::text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadThroughArchive, delta16_zlib, &Fixture::terrain)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UncompressSameBytes, delta16_zlib, &Fixture::terrain)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(UncompressIntoNewBuffer, delta16_zlib, &Fixture::terrain)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
