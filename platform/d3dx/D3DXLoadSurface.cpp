// D3DXGetImageInfoFromFileInMemory and D3DXLoadSurfaceFromFileInMemory.
#include "platform/d3dx/ArgbImage.h"
#include "platform/d3dx/D3DXImageSupport.h"
#include "platform/d3dx/PictureFile.h"
#include "platform/d3dx/d3dx9tex.h"

using namespace d3dx;

namespace {

bool RectInside(const RECT& r, UINT width, UINT height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
         static_cast<UINT>(r.right) <= width && static_cast<UINT>(r.bottom) <= height;
}

RECT WholeRect(UINT width, UINT height) {
  return RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
}

}  // namespace

HRESULT D3DXGetImageInfoFromFileInMemory(const void* pSrcData, UINT SrcDataSize,
                                         D3DXIMAGE_INFO* pSrcInfo) {
  if (!pSrcData || SrcDataSize == 0) {
    return D3DERR_INVALIDCALL;
  }
  PictureHeader header;
  if (!ReadPictureHeader(static_cast<const std::uint8_t*>(pSrcData), SrcDataSize, &header)) {
    return D3DXERR_INVALIDDATA;
  }
  FillImageInfo(header, pSrcInfo);
  return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* pDestSurface, const PALETTEENTRY*,
                                        const RECT* pDestRect, const void* pSrcData,
                                        UINT SrcDataSize, const RECT* pSrcRect, DWORD Filter,
                                        D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo) {
  if (!pDestSurface || !pSrcData || SrcDataSize == 0) {
    return D3DERR_INVALIDCALL;
  }
  const auto* data = static_cast<const std::uint8_t*>(pSrcData);
  PictureHeader header;
  if (!ReadPictureHeader(data, SrcDataSize, &header)) {
    return D3DXERR_INVALIDDATA;
  }
  const RECT source = pSrcRect ? *pSrcRect : WholeRect(header.width, header.height);
  if (!RectInside(source, header.width, header.height)) {
    return D3DERR_INVALIDCALL;
  }
  D3DSURFACE_DESC desc;
  HRESULT hr = pDestSurface->GetDesc(&desc);
  if (FAILED(hr)) {
    return hr;
  }
  if (!IsConvertibleFormat(desc.Format)) {
    return ReportUnsupported("D3DXLoadSurfaceFromFileInMemory", "destination format not supported");
  }
  const RECT dest = pDestRect ? *pDestRect : WholeRect(desc.Width, desc.Height);
  if (!RectInside(dest, desc.Width, desc.Height)) {
    return D3DERR_INVALIDCALL;
  }
  DWORD filterType = 0;
  if (!ResolveFilter(Filter, D3DX_FILTER_TRIANGLE, &filterType)) {
    return D3DERR_INVALIDCALL;
  }
  Picture picture;
  if (!DecodePicture(data, SrcDataSize, &picture)) {
    return D3DXERR_INVALIDDATA;
  }
  const ArgbImage scaled =
      ScaleArgb(PictureToArgb(picture, source, ColorKey), static_cast<UINT>(dest.right - dest.left),
                static_cast<UINT>(dest.bottom - dest.top), filterType);
  D3DLOCKED_RECT locked;
  hr = pDestSurface->LockRect(&locked, pDestRect ? &dest : nullptr, 0);
  if (FAILED(hr)) {
    return hr;
  }
  PackArgb(scaled, desc.Format, static_cast<std::uint8_t*>(locked.pBits), locked.Pitch);
  pDestSurface->UnlockRect();
  FillImageInfo(header, pSrcInfo);
  return D3D_OK;
}
