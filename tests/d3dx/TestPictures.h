// Picture files made at test time: PNG through libpng, JPEG through TurboJPEG, BMP and
// TGA byte by byte, plus a helper to damage them.
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct PngSpec {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  int colorType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  Bytes rows;              // file-order samples, rows packed as libpng expects them
  Bytes palette;           // R, G, B triples for palette pictures
  Bytes transparency;      // tRNS alpha per palette entry
  int transparentGrey = -1;  // tRNS grey value for greyscale pictures
};
Bytes MakePng(const PngSpec& spec);

// `pixels`: width * height * (grey ? 1 : 3) bytes, top row first. 4:4:4 sampling.
Bytes MakeJpeg(std::uint32_t width, std::uint32_t height, bool grey, const Bytes& pixels,
               int quality);

// Uncompressed bottom-up (or top-down) BMP with a 40-byte header. `pixels` are R, G, B
// (or R, G, B, A for 32 bits) per pixel, top row first; 8 bits: palette indices with
// `palette` as R, G, B triples.
Bytes MakeBmp(std::uint32_t width, std::uint32_t height, int bitsPerPixel, const Bytes& pixels,
              const Bytes& palette, bool topDown);

// Uncompressed TGA: type 2 (colour, pixels R, G, B[, A]) or 3 (grey), top row first in
// `pixels`; stored top-down when `topDown`.
Bytes MakeTga(std::uint32_t width, std::uint32_t height, int type, int bitsPerPixel,
              const Bytes& pixels, bool topDown);

// Recomputes the CRC of the PNG chunk that starts at `offset` (its length field).
void FixPngChunkCrc(Bytes* png, std::size_t offset);
