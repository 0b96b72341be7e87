// Pictures as 32-bit ARGB pixels (0xAARRGGBB), the working form between a decoded
// picture and a locked Direct3D surface: taking a rectangle of a picture with its
// colour key, scaling with the D3DX filters, and packing into or reading from the
// pixel formats the loaders support (A8R8G8B8, X8R8G8B8, L8, A8L8).
// Not here: decoding, locking, anything that calls a device.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9types.h"
#include "platform/d3dx/Picture.h"

namespace d3dx {

struct ArgbImage {
  UINT width = 0;
  UINT height = 0;
  std::vector<std::uint32_t> pixels;  // rows top to bottom, width pixels each
};

// Formats the loaders write and the saver reads.
bool IsConvertibleFormat(D3DFORMAT format);
UINT BytesPerPixel(D3DFORMAT format);  // of a convertible format

// The rectangle of `picture` (inside it) as ARGB; grey becomes R = G = B, missing
// alpha 0xFF. Pixels equal to a non-zero `colorKey` become transparent black.
ArgbImage PictureToArgb(const Picture& picture, const RECT& rect, D3DCOLOR colorKey);

// Scales to width x height with the low byte of a D3DX filter: D3DX_FILTER_NONE
// copies without scaling (uncovered pixels transparent black), POINT takes the
// nearest pixel, LINEAR/TRIANGLE/BOX average (box when shrinking, bilinear when
// growing). An equal size is an exact copy with every filter.
ArgbImage ScaleArgb(const ArgbImage& source, UINT width, UINT height, DWORD filterType);

// Writes `image` into memory of `format` (rows `pitch` bytes apart). X8R8G8B8 is
// written opaque; L8 takes the Rec. 709 luminance.
void PackArgb(const ArgbImage& image, D3DFORMAT format, std::uint8_t* bits, INT pitch);

// Reads width x height pixels of `format` into ARGB (X8R8G8B8 as opaque).
ArgbImage UnpackArgb(const std::uint8_t* bits, INT pitch, D3DFORMAT format, UINT width,
                     UINT height);

}  // namespace d3dx
