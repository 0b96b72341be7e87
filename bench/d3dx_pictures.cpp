// Picture work of the extension library at show sizes: writing a captured
// 1024x768 frame as PNG, and decoding 1024x768 PNG and JPEG pictures.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/d3dx/PictureFile.h"
#include "platform/d3dx/PngWriter.h"

namespace {

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 768;

// Something like a rendered frame: smooth shading with texture noise, hard-edged
// shapes, a flat background.
std::vector<std::uint8_t> FrameRgb() {
  std::vector<std::uint8_t> rgb(kWidth * kHeight * 3);
  std::uint32_t noise = 12345;
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &rgb[(y * kWidth + x) * 3];
      const float dx = float(x) - 512.0f, dy = float(y) - 384.0f;
      const bool disc = dx * dx + dy * dy < 300.0f * 300.0f;
      const bool stripe = ((x / 64) + (y / 48)) % 5 == 0;
      noise = noise * 1664525u + 1013904223u;
      const int grain = disc ? int(noise >> 28) : 0;
      p[0] = disc ? std::uint8_t(120 + grain + 120 * std::sin(x * 0.02f)) : 10;
      p[1] = disc ? std::uint8_t(y / 3) : (stripe ? 200 : 12);
      p[2] = disc ? std::uint8_t(255 - x / 4) : 30;
    }
  }
  return rgb;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void BM_WriteFramePng(benchmark::State& state) {
  const auto rgb = FrameRgb();
  const std::string path = TempPath("bench_d3dx_frame.png");
  for (auto _ : state) {
    benchmark::DoNotOptimize(d3dx::WriteRgbPng(path.c_str(), kWidth, kHeight, rgb));
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_WriteFramePng)->Unit(benchmark::kMillisecond);

void BM_DecodePng(benchmark::State& state) {
  const std::string path = TempPath("bench_d3dx_decode.png");
  d3dx::WriteRgbPng(path.c_str(), kWidth, kHeight, FrameRgb());
  const auto file = ReadAll(path);
  std::remove(path.c_str());
  for (auto _ : state) {
    d3dx::Picture picture;
    benchmark::DoNotOptimize(d3dx::DecodePicture(file.data(), file.size(), &picture));
  }
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg(benchmark::State& state) {
  const auto rgb = FrameRgb();
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, rgb.data(), kWidth, 0, kHeight, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
  const std::vector<std::uint8_t> file(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(handle);
  for (auto _ : state) {
    d3dx::Picture picture;
    benchmark::DoNotOptimize(d3dx::DecodePicture(file.data(), file.size(), &picture));
  }
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
