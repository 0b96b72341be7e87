// Truevision TGA pictures held in memory: colour-mapped, true-colour and greyscale,
// uncompressed or run-length encoded. TGA has no signature, so a file is taken for
// a TGA only when its header is consistent and its data long enough; the pixel
// data (including every run-length packet) is checked here and decoded by stb_image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3dx/Picture.h"

namespace d3dx {

// `header` is written on success only.
bool ReadTgaHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header);

// `picture` is written on success only.
bool DecodeTga(const std::uint8_t* data, std::size_t size, Picture* picture);

}  // namespace d3dx
