// Reads and checks the header of a Flash movie file (SWF): the signature "FWS"
// (uncompressed), "CWS" (zlib after the first 8 bytes) or "ZWS" (LZMA), the
// version, the uncompressed file length, and for the first two forms the frame
// size, frame rate and frame count, inflating only as much of "CWS" as the header
// needs. Does not read tags or verify the rest of the movie. Pure function.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

enum class SwfCompression { None, Zlib, Lzma };

struct SwfHeader {
  SwfCompression compression = SwfCompression::None;
  std::uint8_t version = 0;
  std::uint32_t fileLength = 0;  // bytes of the whole movie uncompressed, header included
  // The fields below are read only when this is true; never for "ZWS", whose
  // LZMA stream is not decoded.
  bool frameFieldsRead = false;
  std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // frame rectangle, twips (1/20 pixel)
  std::uint16_t frameRate = 0;  // 8.8 fixed point, frames per second
  std::uint16_t frameCount = 0;
  std::uint32_t headerLength = 0;  // uncompressed bytes up to the first tag

  float framesPerSecond() const { return frameRate / 256.0f; }
  std::int32_t widthTwips() const { return xMax - xMin; }
  std::int32_t heightTwips() const { return yMax - yMin; }
};

// The header when `file` (the whole file as stored) is a movie, otherwise none:
// an unknown signature, version 0, a file too short for its header, a length
// field smaller than the header, an uncompressed file shorter than its length
// field, a damaged zlib stream, an inverted frame rectangle, or LZMA properties
// that cannot be valid.
std::optional<SwfHeader> ReadSwfHeader(std::span<const std::uint8_t> file);
