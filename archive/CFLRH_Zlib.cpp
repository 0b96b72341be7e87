#include "archive/CFLRH_Zlib.h"

#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>

#include "platform/os/LittleEndian.h"

namespace {

// Deflate's densest code spends 2 bits on a 258-byte match.
constexpr std::uint64_t kMaxInflateRatio = 1032;

// What zlib's inflate accepts as a header with its default 32 KiB window.
bool AcceptableZlibHeader(const std::uint8_t* p) {
  const unsigned cmf = p[0], flg = p[1];
  return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (flg & 0x20) == 0 && (cmf * 256 + flg) % 31 == 0;
}

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// libdeflate is several times faster than zlib when the output size is known.
// It decides only the cases where zlib would give the same result: a complete
// stream, or one cut inside its check value that fills exactly `capacity` bytes.
bool InflateFast(const std::uint8_t* stream, std::uint32_t streamLength, std::uint8_t* out,
                 std::uint32_t capacity, std::uint32_t& produced) {
  std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> d(libdeflate_alloc_decompressor());
  if (!d) return false;
  std::size_t outLength = 0;
  if (libdeflate_zlib_decompress(d.get(), stream, streamLength, out, capacity, &outLength) ==
      LIBDEFLATE_SUCCESS) {
    produced = static_cast<std::uint32_t>(outLength);
    return true;
  }
  if (streamLength < 2 || !AcceptableZlibHeader(stream)) return false;
  std::size_t inLength = 0;
  if (libdeflate_deflate_decompress_ex(d.get(), stream + 2, streamLength - 2, out, capacity,
                                       &inLength, &outLength) != LIBDEFLATE_SUCCESS)
    return false;
  const std::size_t checkBytes = streamLength - 2 - inLength;
  if (outLength != capacity || checkBytes >= 4) return false;
  produced = capacity;
  return true;
}

// zlib's one-call decompression; a buffer error counts as success when the
// output is full (a stream cut short of its check value).
bool InflateZlib(const std::uint8_t* stream, std::uint32_t streamLength, std::uint8_t* out,
                 std::uint32_t capacity, std::uint32_t& produced) {
  uLongf outLength = capacity;
  const int result = uncompress(out, &outLength, stream, streamLength);
  if (result >= 0 || (result == Z_BUF_ERROR && outLength == capacity)) {
    produced = static_cast<std::uint32_t>(outLength);
    return true;
  }
  return false;
}

}  // namespace

CFLRH_Zlib::CFLRH_Zlib()
    : CFLResourceFilter("ZLIB compression (zlib general purpose compression library)", "ZLIB",
                        0x00000001) {}

void CFLRH_Zlib::Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                        std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destination.reset();
  destinationLength = 0;
  const std::uint64_t capacity =
      12 + static_cast<std::uint64_t>(double(sourceLength) * double(1.01f));
  if (capacity + 4 > UINT32_MAX) return;
  std::unique_ptr<std::uint8_t[]> block = CFLAllocate(capacity + 4);
  if (!block) return;
  uLongf streamLength = static_cast<uLongf>(capacity);
  if (compress(block.get() + 4, &streamLength, source, sourceLength) < 0) return;
  for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(sourceLength >> (8 * i));
  destination = std::move(block);
  destinationLength = static_cast<std::uint32_t>(streamLength + 4);
}

void CFLRH_Zlib::Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                        std::uint32_t sourceLength, std::uint32_t& destinationLength) const {
  destination.reset();
  destinationLength = 0;
  LittleEndianReader prefix(source, sourceLength);
  const std::uint32_t unpacked = prefix.U32();
  if (prefix.Failed()) return;
  const std::uint8_t* stream = source + 4;
  const std::uint32_t streamLength = sourceLength - 4;
  if (unpacked > kMaxUnpacked || unpacked > streamLength * kMaxInflateRatio) return;
  std::unique_ptr<std::uint8_t[]> out = CFLAllocate(unpacked);
  if (!out) return;
  std::uint32_t produced = 0;
  if (!InflateFast(stream, streamLength, out.get(), unpacked, produced) &&
      !InflateZlib(stream, streamLength, out.get(), unpacked, produced))
    return;
  destination = std::move(out);
  destinationLength = produced;
}
