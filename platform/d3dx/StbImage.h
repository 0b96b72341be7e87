// The BMP and TGA pixel decoding of stb_image (compiled here with only those two
// formats, its functions private to this library). Callers validate headers and
// data lengths first: stb_image reads past a short file as zeros instead of failing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3dx/Picture.h"

namespace d3dx {

// Decodes a BMP or TGA held in memory into 8-bit channels, as many as the file
// holds (1 to 4). `picture` is written on success only.
bool DecodeWithStbImage(const std::uint8_t* data, std::size_t size, Picture* picture);

}  // namespace d3dx
