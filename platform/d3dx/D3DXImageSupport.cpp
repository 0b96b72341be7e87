#include "platform/d3dx/D3DXImageSupport.h"

#include <cstdio>

namespace d3dx {
namespace {

// Flags that may accompany a filter type; D3DX_SKIP_DDS_MIP_LEVELS bits too, since
// only DDS files use them.
constexpr DWORD kFilterFlags = D3DX_FILTER_MIRROR | D3DX_FILTER_DITHER |
                               D3DX_FILTER_DITHER_DIFFUSION | D3DX_FILTER_SRGB |
                               (0x1Fu << 26);

}  // namespace

bool ResolveFilter(DWORD filter, DWORD defaultType, DWORD* type) {
  if (filter == D3DX_DEFAULT) {
    *type = defaultType;
    return true;
  }
  const DWORD kind = filter & 0xFF;
  if (kind < D3DX_FILTER_NONE || kind > D3DX_FILTER_BOX || (filter & ~(kFilterFlags | 0xFFu))) {
    return false;
  }
  *type = kind;
  return true;
}

D3DFORMAT ReportedFormat(PictureLayout layout) {
  switch (layout) {
    case PictureLayout::Grey:
      return D3DFMT_L8;
    case PictureLayout::GreyAlpha:
      return D3DFMT_A8L8;
    case PictureLayout::Rgba:
      return D3DFMT_A8R8G8B8;
    case PictureLayout::Palette:
      return D3DFMT_P8;
    case PictureLayout::Rgb:
      break;
  }
  return D3DFMT_X8R8G8B8;
}

void FillImageInfo(const PictureHeader& header, D3DXIMAGE_INFO* info) {
  if (!info) {
    return;
  }
  info->Width = header.width;
  info->Height = header.height;
  info->Depth = 1;
  info->MipLevels = 1;
  info->Format = ReportedFormat(header.layout);
  info->ResourceType = D3DRTYPE_TEXTURE;
  switch (header.kind) {
    case PictureFileKind::Bmp:
      info->ImageFileFormat = D3DXIFF_BMP;
      break;
    case PictureFileKind::Jpeg:
      info->ImageFileFormat = D3DXIFF_JPG;
      break;
    case PictureFileKind::Tga:
      info->ImageFileFormat = D3DXIFF_TGA;
      break;
    case PictureFileKind::Png:
      info->ImageFileFormat = D3DXIFF_PNG;
      break;
  }
}

HRESULT ReportUnsupported(const char* function, const char* what) {
  std::fprintf(stderr, "%s: %s\n", function, what);
  return D3DERR_INVALIDCALL;
}

}  // namespace d3dx
