// JPEG pictures held in memory, read with libjpeg-turbo's TurboJPEG interface.
// Greyscale pictures decode to one channel, every other colour space to RGB (CMYK
// and YCCK through their inverted Adobe storage). A truncated stream (no end-of-image
// marker after the first scan) or a fatal decoder error fails; the decoder's
// recoverable warnings about slightly damaged but complete data do not.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3dx/Picture.h"

namespace d3dx {

bool IsJpegData(const std::uint8_t* data, std::size_t size);

// `header` is written on success only.
bool ReadJpegHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header);

// `picture` is written on success only.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Picture* picture);

}  // namespace d3dx
