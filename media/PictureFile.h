// Reading picture files for the image blitter: the bytes whole through the memory
// files (a disk file first, else the archive entry), and decoding them into a
// system-memory surface of the picture's own size and pixel format. A missing or
// unreadable picture ends the process with "Image load failed: <name>" (caption
// "Error", status 0). Not here: textures, drawing. Entry thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/ComOwner.h"
#include "platform/d3d9/d3d9.h"

// The whole file; ends the process when no disk file or archive entry has the name.
std::vector<std::uint8_t> ReadImageFile(const std::string& name);

struct PictureSurface {
  UINT width = 0;   // pixels
  UINT height = 0;  // pixels
  D3DFORMAT format = D3DFMT_UNKNOWN;
  ComOwner<IDirect3DSurface9> surface;  // null when the device refuses the format
};

// Reads and decodes `name` on `device` (lent). Ends the process when the file is
// missing or its picture cannot be read.
PictureSurface LoadPictureSurface(IDirect3DDevice9* device, const std::string& name);

// Shows "Image load failed: <name>" and ends the process.
[[noreturn]] void ImageLoadFailed(const std::string& name);
