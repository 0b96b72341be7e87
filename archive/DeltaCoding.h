// Delta coding over little-endian words of 1, 2 or 4 bytes, shared by the three
// delta filters. Words start at byte 0 with no alignment requirement; bytes after
// the last whole word are copied unchanged. Arithmetic wraps at the word size.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace delta_coding {

template <typename Word>
Word LoadLittle(const std::uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
  } else {
    Word w = 0;
    for (unsigned i = 0; i < sizeof(Word); ++i) w = static_cast<Word>(w | (Word(p[i]) << (8 * i)));
    return w;
  }
}

template <typename Word>
void StoreLittle(std::uint8_t* p, Word w) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &w, sizeof w);
  } else {
    for (unsigned i = 0; i < sizeof(Word); ++i) p[i] = static_cast<std::uint8_t>(w >> (8 * i));
  }
}

// out[j] = in[j] - in[j-1], out[0] = in[0]. `out` may equal `in`.
template <typename Word>
void Encode(const std::uint8_t* in, std::uint8_t* out, std::uint32_t length) {
  const std::uint32_t words = length / sizeof(Word);
  Word previous = 0;
  for (std::uint32_t j = 0; j < words; ++j) {
    const Word w = LoadLittle<Word>(in + j * sizeof(Word));
    StoreLittle<Word>(out + j * sizeof(Word), static_cast<Word>(w - previous));
    previous = w;
  }
  const std::uint32_t done = words * sizeof(Word);
  if (out != in && length > done) std::memcpy(out + done, in + done, length - done);
}

// out[j] = in[j] + out[j-1], out[0] = in[0]. `out` may equal `in`.
template <typename Word>
void Decode(const std::uint8_t* in, std::uint8_t* out, std::uint32_t length) {
  const std::uint32_t words = length / sizeof(Word);
  Word sum = 0;
  for (std::uint32_t j = 0; j < words; ++j) {
    sum = static_cast<Word>(sum + LoadLittle<Word>(in + j * sizeof(Word)));
    StoreLittle<Word>(out + j * sizeof(Word), sum);
  }
  const std::uint32_t done = words * sizeof(Word);
  if (out != in && length > done) std::memcpy(out + done, in + done, length - done);
}

}  // namespace delta_coding
