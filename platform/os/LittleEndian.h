// Little-endian words in byte buffers, for every file format the player reads
// (archives, scene chunks, pictures, the movie header) and for the delta
// filters. LoadLittle/StoreLittle touch exactly sizeof(Word) bytes the caller
// vouches for; LittleEndianReader is bounded by its buffer: a read that runs
// past the end reads nothing, gives 0 and leaves the reader Failed(). Not here:
// what the fields mean. Header only; a reader is used by one thread at a time
// and does not own the bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

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

class LittleEndianReader {
 public:
  LittleEndianReader(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(data ? size : 0) {}
  explicit LittleEndianReader(std::span<const std::uint8_t> bytes)
      : LittleEndianReader(bytes.data(), bytes.size()) {}

  // The next field at the cursor, which moves past it.
  std::uint8_t U8() { return Next<std::uint8_t>(); }
  std::uint16_t U16() { return Next<std::uint16_t>(); }
  std::uint32_t U32() { return Next<std::uint32_t>(); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

  // The field at byte `offset` from the start; the cursor stays where it is.
  std::uint8_t U8At(std::size_t offset) { return At<std::uint8_t>(offset); }
  std::uint16_t U16At(std::size_t offset) { return At<std::uint16_t>(offset); }
  std::uint32_t U32At(std::size_t offset) { return At<std::uint32_t>(offset); }

  // The next `bytes` bytes, passed over; null (and Failed) when fewer remain.
  const std::uint8_t* Take(std::size_t bytes) {
    if (!Has(bytes)) return Fail();
    const std::uint8_t* start = data_ + position_;
    position_ += bytes;
    return start;
  }
  bool Skip(std::size_t bytes) { return Take(bytes) != nullptr || bytes == 0; }

  bool Has(std::size_t bytes) const { return bytes <= Remaining(); }
  std::size_t Position() const { return position_; }
  std::size_t Remaining() const { return size_ - position_; }
  std::size_t Size() const { return size_; }
  bool Failed() const { return failed_; }

 private:
  std::nullptr_t Fail() {
    failed_ = true;
    return nullptr;
  }
  template <typename Word>
  Word At(std::size_t offset) {
    if (offset > size_ || sizeof(Word) > size_ - offset) return (Fail(), Word{0});
    return LoadLittle<Word>(data_ + offset);
  }
  template <typename Word>
  Word Next() {
    const std::uint8_t* p = Take(sizeof(Word));
    return p ? LoadLittle<Word>(p) : Word{0};
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool failed_ = false;
};
