// Writes 8-bit RGB PNG files with libpng, tuned for speed (captured frames): light
// zlib compression and a single fixed row filter. Not here: alpha, palettes, other
// bit depths.
#pragma once

#include <cstdint>
#include <vector>

namespace d3dx {

// `rgb` holds height rows of width * 3 bytes (R, G, B), top to bottom. False when the
// file cannot be written (the partial file is removed).
bool WriteRgbPng(const char* path, std::uint32_t width, std::uint32_t height,
                 const std::vector<std::uint8_t>& rgb);

}  // namespace d3dx
