#include "platform/flash/SwfHeader.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>

#include "platform/os/LittleEndian.h"

namespace {

constexpr std::size_t kFixedPart = 8;       // signature, version, file length
constexpr std::size_t kLongestRest = 21;    // a 17-byte rectangle, rate and count
constexpr std::size_t kLzmaFixedPart = 17;  // + packed length and 5 property bytes

// Reads bit fields most significant bit first, as the movie format packs them.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint32_t unsignedBits(unsigned count) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < count; ++i, ++position_) {
      const std::uint8_t byte = bytes_[position_ / 8];
      value = (value << 1) | ((byte >> (7 - position_ % 8)) & 1u);
    }
    return value;
  }
  std::int32_t signedBits(unsigned count) {
    if (count == 0) return 0;
    const std::uint32_t raw = unsignedBits(count);
    const std::uint32_t sign = 1u << (count - 1);
    return static_cast<std::int32_t>(static_cast<std::int64_t>(raw ^ sign) - sign);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Rectangle, frame rate and frame count from the bytes after the fixed part.
bool ReadFrameFields(std::span<const std::uint8_t> rest, SwfHeader& header) {
  if (rest.empty()) return false;
  const unsigned bitsPerValue = rest[0] >> 3;
  const std::size_t rectBytes = (5 + 4 * bitsPerValue + 7) / 8;
  if (rest.size() < rectBytes + 4) return false;
  BitReader bits(rest.first(rectBytes));
  bits.unsignedBits(5);
  header.xMin = bits.signedBits(bitsPerValue);
  header.xMax = bits.signedBits(bitsPerValue);
  header.yMin = bits.signedBits(bitsPerValue);
  header.yMax = bits.signedBits(bitsPerValue);
  if (header.xMax < header.xMin || header.yMax < header.yMin) return false;
  LittleEndianReader counts(rest);
  header.frameRate = counts.U16At(rectBytes);
  header.frameCount = counts.U16At(rectBytes + 2);
  header.headerLength = static_cast<std::uint32_t>(kFixedPart + rectBytes + 4);
  header.frameFieldsRead = true;
  return header.fileLength >= header.headerLength;
}

// Inflates at most `out.size()` bytes of a zlib stream; the count made, or -1 when
// the stream is damaged before that. `ended` tells whether the stream ended.
long InflateStart(std::span<const std::uint8_t> in, std::span<std::uint8_t> out, bool& ended) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return -1;
  zs.next_in = const_cast<Bytef*>(in.data());
  zs.avail_in = static_cast<uInt>(std::min<std::size_t>(in.size(), UINT_MAX));
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  int result = Z_OK;
  while (zs.avail_out > 0 && result == Z_OK) result = inflate(&zs, Z_SYNC_FLUSH);
  const long made = static_cast<long>(out.size() - zs.avail_out);
  inflateEnd(&zs);
  ended = result == Z_STREAM_END;
  // Running out of input or output is fine here; only a damaged stream is not.
  if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return -1;
  return made;
}

}  // namespace

std::optional<SwfHeader> ReadSwfHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kFixedPart) return std::nullopt;
  SwfHeader header;
  if (file[1] != 'W' || file[2] != 'S') return std::nullopt;
  switch (file[0]) {
    case 'F': header.compression = SwfCompression::None; break;
    case 'C': header.compression = SwfCompression::Zlib; break;
    case 'Z': header.compression = SwfCompression::Lzma; break;
    default: return std::nullopt;
  }
  header.version = file[3];
  LittleEndianReader fields(file);
  header.fileLength = fields.U32At(4);
  if (header.version == 0 || header.fileLength < kFixedPart) return std::nullopt;
  const auto rest = file.subspan(kFixedPart);

  switch (header.compression) {
    case SwfCompression::None:
      if (file.size() < header.fileLength) return std::nullopt;
      if (!ReadFrameFields(rest.first(header.fileLength - kFixedPart), header))
        return std::nullopt;
      return header;
    case SwfCompression::Zlib: {
      std::array<std::uint8_t, kLongestRest> start{};
      bool ended = false;
      const long made = InflateStart(rest, start, ended);
      if (made < 0) return std::nullopt;
      const auto got = std::span<const std::uint8_t>(start).first(static_cast<std::size_t>(made));
      if (!ReadFrameFields(got, header)) return std::nullopt;
      if (ended && kFixedPart + got.size() < header.fileLength) return std::nullopt;
      return header;
    }
    case SwfCompression::Lzma: {
      // Packed length, then the LZMA properties: lc/lp/pb in one byte (at most
      // 224) and a 32-bit dictionary size.
      if (file.size() < kLzmaFixedPart) return std::nullopt;
      const std::uint32_t packed = fields.U32At(8);
      if (file[12] >= 9 * 5 * 5) return std::nullopt;
      if (packed > file.size() - kLzmaFixedPart) return std::nullopt;
      return header;
    }
  }
  return std::nullopt;
}
