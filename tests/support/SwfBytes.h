// Small Flash movie files built byte by byte for tests: the 8-byte header
// (signature, version, 32-bit file length), the bit-packed frame rectangle, the
// 8.8 frame rate, the 16-bit frame count and an End tag; "CWS" packs everything
// after the first 8 bytes with zlib.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace swf_test {

using Bytes = std::vector<std::uint8_t>;

struct Frame {
  unsigned bits = 15;  // bits per rectangle value
  std::int32_t xMin = 0, xMax = 11000, yMin = 0, yMax = 8000;  // twips
  std::uint16_t rate = 24 << 8;                                 // 8.8 fixed point
  std::uint16_t count = 1;
};

inline void PutU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Everything after the 8-byte header: rectangle, rate, count, then an End tag.
inline Bytes Body(const Frame& f) {
  Bytes out;
  std::uint64_t acc = 0;
  unsigned filled = 0;
  auto put = [&](std::uint32_t value, unsigned n) {
    for (unsigned i = n; i-- > 0;) {
      acc = (acc << 1) | ((value >> i) & 1u);
      if (++filled == 8) {
        out.push_back(static_cast<std::uint8_t>(acc));
        acc = filled = 0;
      }
    }
  };
  put(f.bits, 5);
  for (std::int32_t v : {f.xMin, f.xMax, f.yMin, f.yMax}) put(static_cast<std::uint32_t>(v), f.bits);
  if (filled) put(0, 8 - filled);
  out.push_back(static_cast<std::uint8_t>(f.rate));
  out.push_back(static_cast<std::uint8_t>(f.rate >> 8));
  out.push_back(static_cast<std::uint8_t>(f.count));
  out.push_back(static_cast<std::uint8_t>(f.count >> 8));
  out.push_back(0);  // End tag
  out.push_back(0);
  return out;
}

// A whole movie file; `form` is 'F' (uncompressed) or 'C' (zlib).
inline Bytes Movie(const Frame& f = {}, char form = 'F', std::uint8_t version = 10) {
  const Bytes body = Body(f);
  Bytes out{static_cast<std::uint8_t>(form), 'W', 'S', version};
  PutU32(out, static_cast<std::uint32_t>(8 + body.size()));
  if (form != 'C') {
    out.insert(out.end(), body.begin(), body.end());
    return out;
  }
  uLongf packedSize = compressBound(body.size());
  Bytes packed(packedSize);
  compress(packed.data(), &packedSize, body.data(), body.size());
  out.insert(out.end(), packed.begin(), packed.begin() + static_cast<long>(packedSize));
  return out;
}

inline std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

inline void WriteFile(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                              static_cast<std::streamsize>(b.size()));
}

}  // namespace swf_test
