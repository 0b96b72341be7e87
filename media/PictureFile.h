// Reading picture files for the image blitter: the bytes whole through the memory
// files (a disk file first, else the archive entry), and decoding them into a
// system-memory surface of the picture's own pixel format, at the picture's own size
// or, for a picture larger than the device's textures, scaled down to the device's
// limit (said on standard error). A missing or unreadable picture ends the process
// with "Image load failed: <name>" (caption "Error", status 0). Not here: textures,
// drawing. Entry thread only.
#pragma once

#include <cstdint>
#include <string>

#include "archive/ReadWholeFile.h"
#include "platform/os/ComOwner.h"
#include "platform/d3d9/d3d9.h"

// What the file holds (what could be read of it); ends the process when no disk file or
// archive entry has the name.
WholeFile ReadImageFile(const std::string& name);

// A picture file read whole, with the information its header gives.
struct PictureFileData {
  WholeFile bytes;
  UINT width = 0;   // pixels, as the file says
  UINT height = 0;  // pixels
  D3DFORMAT format = D3DFMT_UNKNOWN;
};

struct PictureSurface {
  UINT width = 0;   // pixels of the picture
  UINT height = 0;  // pixels of the picture
  D3DFORMAT format = D3DFMT_UNKNOWN;
  // Size of the decoded surface: the picture's, or less where the device's textures are.
  UINT surfaceWidth = 0;
  UINT surfaceHeight = 0;
  ComOwner<IDirect3DSurface9> surface;  // null when the device refuses the format
};

// Reads `name` and its header; ends the process when it is missing or unreadable.
PictureFileData ReadPictureFile(const std::string& name);
// The surface size a picture of width x height gets on `device` (lent): each side
// at most the device's largest texture side.
void FitToDevice(IDirect3DDevice9* device, UINT width, UINT height, UINT* fittedWidth,
                 UINT* fittedHeight);
// Bytes a decoded surface of that size and format holds.
std::uint64_t PictureSurfaceBytes(UINT width, UINT height, D3DFORMAT format);
// Decodes `file` (read from `name`) on `device` (lent); ends the process when its
// pixels cannot be read.
PictureSurface DecodePictureFile(IDirect3DDevice9* device, const std::string& name,
                                 const PictureFileData& file);
// ReadPictureFile, then DecodePictureFile.
PictureSurface LoadPictureSurface(IDirect3DDevice9* device, const std::string& name);

// Shows "Image load failed: <name>" and ends the process.
[[noreturn]] void ImageLoadFailed(const std::string& name);
