// D3DXSaveSurfaceToFileA: PNG only.
#include "platform/d3dx/ArgbImage.h"
#include "platform/d3dx/D3DXImageSupport.h"
#include "platform/d3dx/PngWriter.h"
#include "platform/d3dx/d3dx9tex.h"

using namespace d3dx;

HRESULT D3DXSaveSurfaceToFileA(const char* pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                               IDirect3DSurface9* pSrcSurface, const PALETTEENTRY*,
                               const RECT* pSrcRect) {
  if (!pDestFile || !pSrcSurface) {
    return D3DERR_INVALIDCALL;
  }
  if (DestFormat != D3DXIFF_PNG) {
    return ReportUnsupported("D3DXSaveSurfaceToFileA", "only PNG files are written");
  }
  D3DSURFACE_DESC desc;
  HRESULT hr = pSrcSurface->GetDesc(&desc);
  if (FAILED(hr)) {
    return hr;
  }
  if (!IsConvertibleFormat(desc.Format)) {
    return ReportUnsupported("D3DXSaveSurfaceToFileA", "surface format not supported");
  }
  RECT rect{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
  if (pSrcRect) {
    rect = *pSrcRect;
    if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom ||
        static_cast<UINT>(rect.right) > desc.Width || static_cast<UINT>(rect.bottom) > desc.Height) {
      return D3DERR_INVALIDCALL;
    }
  }
  const UINT width = static_cast<UINT>(rect.right - rect.left);
  const UINT height = static_cast<UINT>(rect.bottom - rect.top);
  D3DLOCKED_RECT locked;
  hr = pSrcSurface->LockRect(&locked, pSrcRect ? &rect : nullptr, D3DLOCK_READONLY);
  if (FAILED(hr)) {
    return hr;
  }
  const ArgbImage image = UnpackArgb(static_cast<const std::uint8_t*>(locked.pBits), locked.Pitch,
                                     desc.Format, width, height);
  pSrcSurface->UnlockRect();

  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  std::uint8_t* out = rgb.data();
  for (const std::uint32_t argb : image.pixels) {
    *out++ = static_cast<std::uint8_t>(argb >> 16);
    *out++ = static_cast<std::uint8_t>(argb >> 8);
    *out++ = static_cast<std::uint8_t>(argb);
  }
  return WriteRgbPng(pDestFile, width, height, rgb) ? D3D_OK : E_FAIL;
}
