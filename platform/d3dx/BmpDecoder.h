// Windows bitmap pictures held in memory: uncompressed 1, 4, 8, 16, 24 and 32 bits
// per pixel and bit-field 16/32-bit pictures, with the common header sizes. The
// header and the pixel data length are checked here; pixels are decoded by
// stb_image. Not supported (fails): run-length and embedded JPEG/PNG compression.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3dx/Picture.h"

namespace d3dx {

bool IsBmpData(const std::uint8_t* data, std::size_t size);

// `header` is written on success only.
bool ReadBmpHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header);

// `picture` is written on success only.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, Picture* picture);

}  // namespace d3dx
