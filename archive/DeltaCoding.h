// Delta coding over little-endian words of 1, 2 or 4 bytes, shared by the three
// delta filters. Words start at byte 0 with no alignment requirement; bytes after
// the last whole word are copied unchanged. Arithmetic wraps at the word size.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/os/LittleEndian.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace delta_coding {

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

#if defined(__SSE2__)
// Running sums of the 16-byte vectors from word `j` on; returns the first word not
// done and leaves the last sum in `sum`. Within a vector the sum is built by
// adding the vector to itself shifted by 1, 2, 4, ... words.
template <typename Word>
std::uint32_t DecodeVectors(const std::uint8_t* in, std::uint8_t* out, std::uint32_t words,
                            Word& sum) {
  constexpr std::uint32_t kLanes = 16 / sizeof(Word);
  std::uint32_t j = 0;
  __m128i carry;
  if constexpr (sizeof(Word) == 2)
    carry = _mm_set1_epi16(static_cast<short>(sum));
  else
    carry = _mm_set1_epi32(static_cast<int>(sum));
  for (; j + kLanes <= words; j += kLanes) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + j * sizeof(Word)));
    if constexpr (sizeof(Word) == 2) {
      x = _mm_add_epi16(x, _mm_slli_si128(x, 2));
      x = _mm_add_epi16(x, _mm_slli_si128(x, 4));
      x = _mm_add_epi16(x, _mm_slli_si128(x, 8));
      x = _mm_add_epi16(x, carry);
      const __m128i high = _mm_shufflehi_epi16(x, 0xFF);
      carry = _mm_unpackhi_epi64(high, high);
    } else {
      x = _mm_add_epi32(x, _mm_slli_si128(x, 4));
      x = _mm_add_epi32(x, _mm_slli_si128(x, 8));
      x = _mm_add_epi32(x, carry);
      carry = _mm_shuffle_epi32(x, 0xFF);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j * sizeof(Word)), x);
  }
  if (j > 0) sum = LoadLittle<Word>(out + (j - 1) * sizeof(Word));
  return j;
}
#endif

// out[j] = in[j] + out[j-1], out[0] = in[0]. `out` may equal `in`.
template <typename Word>
void Decode(const std::uint8_t* in, std::uint8_t* out, std::uint32_t length) {
  const std::uint32_t words = length / sizeof(Word);
  Word sum = 0;
  std::uint32_t j = 0;
#if defined(__SSE2__)
  if constexpr (sizeof(Word) > 1 && std::endian::native == std::endian::little)
    j = DecodeVectors<Word>(in, out, words, sum);
#endif
  for (; j < words; ++j) {
    sum = static_cast<Word>(sum + LoadLittle<Word>(in + j * sizeof(Word)));
    StoreLittle<Word>(out + j * sizeof(Word), sum);
  }
  const std::uint32_t done = words * sizeof(Word);
  if (out != in && length > done) std::memcpy(out + done, in + done, length - done);
}

}  // namespace delta_coding
