// PNG pictures held in memory, read with libpng. Grey, grey with alpha, colour,
// colour with alpha and palette pictures of any bit depth; 16-bit channels are
// scaled to 8 bits, palettes and low bit depths expanded, transparency chunks
// become an alpha channel. Damaged or truncated data fails; no libpng error
// escapes. Not here: gamma or colour-profile correction (pixels are taken as stored).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3dx/Picture.h"

namespace d3dx {

bool IsPngData(const std::uint8_t* data, std::size_t size);

// Reads only the header chunks; `header` is written on success only.
bool ReadPngHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header);

// Decodes the whole picture; `picture` is written on success only.
bool DecodePng(const std::uint8_t* data, std::size_t size, Picture* picture);

}  // namespace d3dx
