// Helpers for tests that listen to the music: the repository's test music, marker
// finding in a mix (interleaved left/right 16-bit), and reading a WAV file back
// after checking that its header describes the file exactly.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sound_test {

constexpr long kSecond = 44100;
constexpr long kMs = 44;  // frames in (a little under) a millisecond

inline std::string MusicPath(const std::string& name) {
  return std::string(SHOW_SOURCE_DIR) + "/tests/data/music/" + name;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Frame index of the loudest left sample in frames [first, last).
inline long LoudestFrame(const std::vector<std::int16_t>& mix, long first = 0, long last = -1) {
  long frames = static_cast<long>(mix.size() / 2);
  if (last < 0 || last > frames) last = frames;
  long best = -1;
  int peak = -1;
  for (long i = first; i < last; ++i) {
    int v = std::abs(static_cast<int>(mix[static_cast<std::size_t>(2 * i)]));
    if (v > peak) peak = v, best = i;
  }
  return best;
}

// The loudest sample of either channel in frames [first, last).
inline int Peak(const std::vector<std::int16_t>& mix, long first = 0, long last = -1) {
  long frames = static_cast<long>(mix.size() / 2);
  if (last < 0 || last > frames) last = frames;
  int peak = 0;
  for (long i = 2 * first; i < 2 * last; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(mix[static_cast<std::size_t>(i)])));
  return peak;
}

// The samples of a 16-bit stereo 44.1 kHz WAV file, interleaved.
inline std::vector<std::int16_t> ReadWav(const std::string& path) {
  std::string b = ReadBytes(path);
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
  };
  EXPECT_GE(b.size(), 44u) << path;
  if (b.size() < 44) return {};
  EXPECT_EQ(b.substr(0, 4), "RIFF");
  EXPECT_EQ(u32(4), b.size() - 8);
  EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(u32(20), 0x00020001u);  // PCM, two channels
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u32(28), 44100u * 4);
  EXPECT_EQ(u32(32), 0x00100004u);  // 4-byte frames of 16-bit samples
  EXPECT_EQ(b.substr(36, 4), "data");
  EXPECT_EQ(u32(40), b.size() - 44);
  std::vector<std::int16_t> samples;
  for (std::size_t i = 44; i + 1 < b.size(); i += 2)
    samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(b[i]) |
                                                static_cast<unsigned char>(b[i + 1]) << 8));
  return samples;
}

}  // namespace sound_test
