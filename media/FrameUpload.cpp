#include "media/FrameUpload.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::uint32_t BytesPerPixel(D3DFORMAT format) { return format == D3DFMT_L8 ? 1 : 4; }

// One pixel as 0xAARRGGBB.
std::uint32_t ReadPixel(const std::uint8_t* p, D3DFORMAT format) {
  if (format == D3DFMT_L8) return 0xFF000000u | p[0] * 0x010101u;
  std::uint32_t argb;
  std::memcpy(&argb, p, 4);
  return format == D3DFMT_X8R8G8B8 ? argb | 0xFF000000u : argb;
}

void WritePixel(std::uint8_t* p, D3DFORMAT format, std::uint32_t argb) {
  if (format == D3DFMT_L8) {
    const std::uint32_t r = argb >> 16 & 0xFF, g = argb >> 8 & 0xFF, b = argb & 0xFF;
    p[0] = static_cast<std::uint8_t>((r * 77 + g * 150 + b * 29 + 128) >> 8);
    return;
  }
  std::memcpy(p, &argb, 4);
}

struct Locked {
  std::uint8_t* bits;
  std::int32_t pitch;
  std::uint8_t* row(std::uint32_t y) const { return bits + static_cast<std::ptrdiff_t>(y) * pitch; }
};

void CopyRows(const Locked& from, const D3DSURFACE_DESC& source, const Locked& to,
              const D3DSURFACE_DESC& target) {
  const std::uint32_t rows = std::min(source.Height, target.Height);
  const std::uint32_t columns = std::min(source.Width, target.Width);
  const std::uint32_t targetRowBytes = target.Width * BytesPerPixel(target.Format);
  const bool sameFormat = source.Format == target.Format;
  for (std::uint32_t y = 0; y < target.Height; ++y) {
    std::uint8_t* out = to.row(y);
    std::uint32_t written = 0;
    if (y < rows) {
      const std::uint8_t* in = from.row(y);
      if (sameFormat) {
        written = columns * BytesPerPixel(target.Format);
        std::memcpy(out, in, written);
      } else {
        const std::uint32_t inStep = BytesPerPixel(source.Format);
        const std::uint32_t outStep = BytesPerPixel(target.Format);
        for (std::uint32_t x = 0; x < columns; ++x)
          WritePixel(out + x * outStep, target.Format, ReadPixel(in + x * inStep, source.Format));
        written = columns * outStep;
      }
    }
    if (written < targetRowBytes) std::memset(out + written, 0, targetRowBytes - written);
  }
}

}  // namespace

bool IsPictureTextureFormat(D3DFORMAT format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_L8;
}

bool UploadFrame(IDirect3DSurface9* surface, IDirect3DTexture9* texture) {
  D3DSURFACE_DESC source{}, target{};
  if (FAILED(surface->GetDesc(&source)) || FAILED(texture->GetLevelDesc(0, &target))) return false;
  if (!IsPictureTextureFormat(source.Format) || !IsPictureTextureFormat(target.Format))
    return false;
  D3DLOCKED_RECT to{}, from{};
  if (FAILED(texture->LockRect(0, &to, nullptr, 0))) return false;
  if (FAILED(surface->LockRect(&from, nullptr, D3DLOCK_READONLY))) {
    texture->UnlockRect(0);
    return false;
  }
  CopyRows(Locked{static_cast<std::uint8_t*>(from.pBits), from.Pitch}, source,
           Locked{static_cast<std::uint8_t*>(to.pBits), to.Pitch}, target);
  texture->UnlockRect(0);
  surface->UnlockRect();
  return true;
}
