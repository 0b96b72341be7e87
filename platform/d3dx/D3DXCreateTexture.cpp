// D3DXCreateTextureFromFileInMemory[Ex]: size, level and format choice, then level 0
// from the picture and every further level from the one above it.
#include <memory>

#include "platform/d3dx/ArgbImage.h"
#include "platform/d3dx/D3DXImageSupport.h"
#include "platform/d3dx/PictureFile.h"
#include "platform/d3dx/d3dx9tex.h"

using namespace d3dx;

namespace {

struct ReleaseCom {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComRef = std::unique_ptr<T, ReleaseCom>;

UINT NextPowerOfTwo(UINT value) {
  UINT result = 1;
  while (result < value && result < 0x80000000u) {
    result <<= 1;
  }
  return result;
}

UINT FullChainLength(UINT width, UINT height) {
  UINT levels = 1;
  for (UINT size = width > height ? width : height; size > 1; size >>= 1) {
    ++levels;
  }
  return levels;
}

UINT ResolveSize(UINT requested, UINT fromFile) {
  if (requested == 0 || requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) {
    return fromFile;
  }
  if (requested == D3DX_DEFAULT) {
    return NextPowerOfTwo(fromFile);
  }
  return requested;
}

// What the device's texture caps make of the size: power-of-two rounding where the
// device requires it (conditional non-power-of-two sizes allow one level only), and
// its maximum size.
void ApplyCaps(const D3DCAPS9& caps, UINT levels, UINT* width, UINT* height) {
  const bool pow2 = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) &&
                    (!(caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) || levels != 1);
  if (pow2) {
    *width = NextPowerOfTwo(*width);
    *height = NextPowerOfTwo(*height);
  }
  if (caps.MaxTextureWidth > 0 && *width > caps.MaxTextureWidth) {
    *width = caps.MaxTextureWidth;
  }
  if (caps.MaxTextureHeight > 0 && *height > caps.MaxTextureHeight) {
    *height = caps.MaxTextureHeight;
  }
}

bool DeviceTakesFormat(IDirect3DDevice9* device, DWORD usage, D3DFORMAT format) {
  IDirect3D9* rawD3d = nullptr;
  D3DDEVICE_CREATION_PARAMETERS params;
  D3DDISPLAYMODE mode;
  if (FAILED(device->GetDirect3D(&rawD3d)) || !rawD3d) {
    return true;  // nothing to ask; CreateTexture decides
  }
  ComRef<IDirect3D9> d3d(rawD3d);
  if (FAILED(device->GetCreationParameters(&params)) ||
      FAILED(device->GetDisplayMode(0, &mode))) {
    return true;
  }
  return SUCCEEDED(d3d->CheckDeviceFormat(params.AdapterOrdinal, params.DeviceType, mode.Format,
                                          usage, D3DRTYPE_TEXTURE, format));
}

// The wanted format if the device takes it, else the nearest convertible one that
// keeps the picture's channels. D3DFMT_UNKNOWN when nothing fits.
D3DFORMAT ChooseFormat(IDirect3DDevice9* device, DWORD usage, D3DFORMAT wanted) {
  D3DFORMAT candidates[3] = {D3DFMT_UNKNOWN, D3DFMT_UNKNOWN, D3DFMT_UNKNOWN};
  switch (wanted) {
    case D3DFMT_L8:
      candidates[0] = D3DFMT_L8;
      candidates[1] = D3DFMT_X8R8G8B8;
      candidates[2] = D3DFMT_A8R8G8B8;
      break;
    case D3DFMT_A8L8:
      candidates[0] = D3DFMT_A8L8;
      candidates[1] = D3DFMT_A8R8G8B8;
      break;
    case D3DFMT_X8R8G8B8:
      candidates[0] = D3DFMT_X8R8G8B8;
      candidates[1] = D3DFMT_A8R8G8B8;
      break;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_P8:  // palettes may carry alpha
      candidates[0] = D3DFMT_A8R8G8B8;
      break;
    default:
      return D3DFMT_UNKNOWN;
  }
  for (D3DFORMAT candidate : candidates) {
    if (candidate != D3DFMT_UNKNOWN && DeviceTakesFormat(device, usage, candidate)) {
      return candidate;
    }
  }
  return candidates[0];
}

HRESULT FillLevels(IDirect3DTexture9* texture, const ArgbImage& picture, DWORD filterType,
                   DWORD mipFilterType) {
  ArgbImage level;
  const DWORD count = texture->GetLevelCount();
  for (DWORD i = 0; i < count; ++i) {
    D3DSURFACE_DESC desc;
    HRESULT hr = texture->GetLevelDesc(i, &desc);
    if (FAILED(hr)) {
      return hr;
    }
    level = i == 0 ? ScaleArgb(picture, desc.Width, desc.Height, filterType)
                   : ScaleArgb(level, desc.Width, desc.Height, mipFilterType);
    D3DLOCKED_RECT locked;
    hr = texture->LockRect(i, &locked, nullptr, 0);
    if (FAILED(hr)) {
      return hr;
    }
    PackArgb(level, desc.Format, static_cast<std::uint8_t*>(locked.pBits), locked.Pitch);
    texture->UnlockRect(i);
  }
  return D3D_OK;
}

}  // namespace

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, const void* pSrcData,
                                            UINT SrcDataSize, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                            D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                            PALETTEENTRY*, IDirect3DTexture9** ppTexture) {
  if (!pDevice || !pSrcData || SrcDataSize == 0 || !ppTexture) {
    return D3DERR_INVALIDCALL;
  }
  const auto* data = static_cast<const std::uint8_t*>(pSrcData);
  PictureHeader header;
  if (!ReadPictureHeader(data, SrcDataSize, &header)) {
    return D3DXERR_INVALIDDATA;
  }
  DWORD filterType = 0;
  DWORD mipFilterType = 0;
  if (!ResolveFilter(Filter, D3DX_FILTER_TRIANGLE, &filterType) ||
      !ResolveFilter(MipFilter, D3DX_FILTER_BOX, &mipFilterType)) {
    return D3DERR_INVALIDCALL;
  }

  const D3DFORMAT fileFormat = ReportedFormat(header.layout);
  const D3DFORMAT wanted =
      (Format == D3DFMT_UNKNOWN || Format == D3DFMT_FROM_FILE) ? fileFormat : Format;
  const D3DFORMAT format = ChooseFormat(pDevice, Usage, wanted);
  if (format == D3DFMT_UNKNOWN) {
    return ReportUnsupported("D3DXCreateTextureFromFileInMemoryEx", "texture format not supported");
  }

  UINT width = ResolveSize(Width, header.width);
  UINT height = ResolveSize(Height, header.height);
  const UINT levelsWanted = MipLevels == D3DX_FROM_FILE ? 1 : MipLevels;
  D3DCAPS9 caps;
  if (SUCCEEDED(pDevice->GetDeviceCaps(&caps))) {
    ApplyCaps(caps, levelsWanted, &width, &height);
  }
  const UINT fullChain = FullChainLength(width, height);
  const UINT levels = (levelsWanted == 0 || levelsWanted == D3DX_DEFAULT || levelsWanted > fullChain)
                          ? fullChain
                          : levelsWanted;

  Picture picture;
  if (!DecodePicture(data, SrcDataSize, &picture)) {
    return D3DXERR_INVALIDDATA;
  }
  const ArgbImage source = PictureToArgb(
      picture, RECT{0, 0, static_cast<LONG>(picture.width), static_cast<LONG>(picture.height)},
      ColorKey);

  IDirect3DTexture9* rawTexture = nullptr;
  HRESULT hr = pDevice->CreateTexture(width, height, levels, Usage, format, Pool, &rawTexture,
                                      nullptr);
  if (FAILED(hr)) {
    return hr;
  }
  ComRef<IDirect3DTexture9> texture(rawTexture);
  // Default-pool textures cannot be locked unless dynamic: fill a system-memory copy
  // and let the device upload it, as Direct3D 9 requires.
  if (Pool == D3DPOOL_DEFAULT && !(Usage & D3DUSAGE_DYNAMIC)) {
    IDirect3DTexture9* rawStaging = nullptr;
    hr = pDevice->CreateTexture(width, height, texture->GetLevelCount(), 0, format,
                                D3DPOOL_SYSTEMMEM, &rawStaging, nullptr);
    if (FAILED(hr)) {
      return hr;
    }
    ComRef<IDirect3DTexture9> staging(rawStaging);
    hr = FillLevels(staging.get(), source, filterType, mipFilterType);
    if (SUCCEEDED(hr)) {
      hr = pDevice->UpdateTexture(staging.get(), texture.get());
    }
  } else {
    hr = FillLevels(texture.get(), source, filterType, mipFilterType);
  }
  if (FAILED(hr)) {
    return hr;
  }
  FillImageInfo(header, pSrcInfo);
  *ppTexture = texture.release();
  return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* pDevice, const void* pSrcData,
                                          UINT SrcDataSize, IDirect3DTexture9** ppTexture) {
  return D3DXCreateTextureFromFileInMemoryEx(pDevice, pSrcData, SrcDataSize, D3DX_DEFAULT,
                                             D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                             D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                             nullptr, nullptr, ppTexture);
}
