// Copying a decoded picture (a system-memory surface) into level 0 of a texture,
// row by row. The surface and the texture normally share size and pixel format;
// when they do not, only the rows and columns both have are copied (converting
// between L8, X8R8G8B8 and A8R8G8B8) and the rest of the level is cleared to 0,
// so neither side is read or written out of bounds. Entry thread only.
#pragma once

#include "platform/d3d9/d3d9.h"

// True for the pixel formats a picture texture may have.
bool IsPictureTextureFormat(D3DFORMAT format);

// Copies `surface` into level 0 of `texture` (both lent). False when either lock
// fails or a format is not a picture texture format; nothing is copied then.
bool UploadFrame(IDirect3DSurface9* surface, IDirect3DTexture9* texture);
