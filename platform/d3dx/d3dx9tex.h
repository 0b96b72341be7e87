// The Direct3D extension library's picture functions, as D3DX declares them: picture
// information and loading from files held in memory (JPEG, PNG, BMP, TGA) into
// surfaces and into textures with a full mipmap chain, and saving a surface as PNG.
// Destination formats: A8R8G8B8, X8R8G8B8, L8, A8L8; others give D3DERR_INVALIDCALL
// with a line on standard error. Damaged or unrecognised data gives
// D3DXERR_INVALIDDATA. Palettes are neither read nor written (PALETTEENTRY
// arguments are ignored). Not here: volumes, cube textures, DDS/HDR/PFM, loading from
// named files or resources. Entry thread only, like the device they use.
#pragma once

#include "platform/d3d9/d3d9.h"

// Win32 palette entry (only passed through, never used).
struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

constexpr UINT D3DX_DEFAULT = static_cast<UINT>(-1);
constexpr UINT D3DX_DEFAULT_NONPOW2 = static_cast<UINT>(-2);
constexpr UINT D3DX_FROM_FILE = static_cast<UINT>(-3);
constexpr D3DFORMAT D3DFMT_FROM_FILE = static_cast<D3DFORMAT>(0xFFFFFFFDu);

#define D3DXERR_INVALIDDATA MAKE_D3DHRESULT(2905)

constexpr DWORD D3DX_FILTER_NONE = 0x00000001;
constexpr DWORD D3DX_FILTER_POINT = 0x00000002;
constexpr DWORD D3DX_FILTER_LINEAR = 0x00000003;
constexpr DWORD D3DX_FILTER_TRIANGLE = 0x00000004;
constexpr DWORD D3DX_FILTER_BOX = 0x00000005;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x00010000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x00020000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x00040000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x00070000;
constexpr DWORD D3DX_FILTER_DITHER = 0x00080000;
constexpr DWORD D3DX_FILTER_DITHER_DIFFUSION = 0x00100000;
constexpr DWORD D3DX_FILTER_SRGB_IN = 0x00200000;
constexpr DWORD D3DX_FILTER_SRGB_OUT = 0x00400000;
constexpr DWORD D3DX_FILTER_SRGB = 0x00600000;

enum D3DXIMAGE_FILEFORMAT {
  D3DXIFF_BMP = 0,
  D3DXIFF_JPG = 1,
  D3DXIFF_TGA = 2,
  D3DXIFF_PNG = 3,
  D3DXIFF_DDS = 4,
  D3DXIFF_PPM = 5,
  D3DXIFF_DIB = 6,
  D3DXIFF_HDR = 7,
  D3DXIFF_PFM = 8,
  D3DXIFF_FORCE_DWORD = 0x7fffffff
};

// Format reported per file: colour JPEG, RGB PNG, 24-bit BMP/TGA X8R8G8B8; colour with
// alpha (RGBA PNG, PNG with a transparency chunk, 32-bit TGA, BMP with an alpha mask)
// A8R8G8B8; greyscale L8; greyscale with alpha A8L8; palette pictures P8 (they still
// load into the convertible formats). 16-bit channels count as 8-bit.
struct D3DXIMAGE_INFO {
  UINT Width;
  UINT Height;
  UINT Depth;      // always 1
  UINT MipLevels;  // always 1
  D3DFORMAT Format;
  D3DRESOURCETYPE ResourceType;  // D3DRTYPE_TEXTURE
  D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Information of a picture file held in memory. A null `pSrcInfo` only checks the file.
HRESULT D3DXGetImageInfoFromFileInMemory(const void* pSrcData, UINT SrcDataSize,
                                         D3DXIMAGE_INFO* pSrcInfo);

// Decodes the picture (or `pSrcRect` of it) into `pDestRect` of the surface (null: the
// whole of each), converting to the surface's format and scaling with `Filter`
// (D3DX_DEFAULT: triangle). Pixels equal to a non-zero `ColorKey` (ARGB, after
// conversion to A8R8G8B8) become transparent black. The surface must be lockable.
HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* pDestSurface,
                                        const PALETTEENTRY* pDestPalette, const RECT* pDestRect,
                                        const void* pSrcData, UINT SrcDataSize,
                                        const RECT* pSrcRect, DWORD Filter, D3DCOLOR ColorKey,
                                        D3DXIMAGE_INFO* pSrcInfo);

// Creates a texture from a picture file held in memory. Width/Height: 0 or
// D3DX_DEFAULT_NONPOW2 the file's size, D3DX_DEFAULT the file's size rounded up to a
// power of two; the device's caps may round further (power-of-two textures) or halve
// (maximum size). MipLevels: 0 or D3DX_DEFAULT a full chain down to 1x1, D3DX_FROM_FILE
// one. Format: D3DFMT_UNKNOWN or D3DFMT_FROM_FILE the file's, replaced by the nearest
// format the device takes when it refuses that one (P8 becomes A8R8G8B8). Filter
// (D3DX_DEFAULT: triangle) scales the picture to level 0; MipFilter (D3DX_DEFAULT: box)
// makes each further level from the one above. The new texture (one reference) goes
// to *ppTexture; on failure *ppTexture is left untouched.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, const void* pSrcData,
                                            UINT SrcDataSize, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                            D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                            PALETTEENTRY* pPalette,
                                            IDirect3DTexture9** ppTexture);

// The same with every choice at its default, in the managed pool.
HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* pDevice, const void* pSrcData,
                                          UINT SrcDataSize, IDirect3DTexture9** ppTexture);

// Writes the surface (or `pSrcRect` of it) to a file. Only D3DXIFF_PNG is written: 8-bit
// RGB, alpha dropped, fast compression. The surface (A8R8G8B8, X8R8G8B8, L8 or A8L8)
// must be lockable, e.g. a system-memory plain surface.
HRESULT D3DXSaveSurfaceToFileA(const char* pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                               IDirect3DSurface9* pSrcSurface, const PALETTEENTRY* pSrcPalette,
                               const RECT* pSrcRect);
