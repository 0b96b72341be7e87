// Recognises a picture file held in memory by its content (PNG and JPEG by their
// signatures, BMP by "BM", TGA by a consistent header) and hands it to its decoder.
// Not here: conversion to device formats.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3dx/Picture.h"

namespace d3dx {

// False for unrecognised, damaged or oversized pictures; outputs written on success only.
bool ReadPictureHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header);
bool DecodePicture(const std::uint8_t* data, std::size_t size, Picture* picture);

}  // namespace d3dx
