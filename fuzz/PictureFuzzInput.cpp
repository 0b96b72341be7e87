#include "fuzz/PictureFuzzInput.h"

#include <cstdio>
#include <cstdlib>

#include "platform/d3dx/d3dx9.h"
#include "tests/d3dx/MemorySurface.h"

namespace {

// Every load decodes the whole file again: large pictures get one load, so that
// an input costs about one decode, and small ones every variant.
constexpr std::uint64_t kMaxWholeSurfacePixels = 1u << 18;
constexpr std::uint64_t kMaxPartialPixels = 1u << 16;

UINT BytesPerPixel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_L8: return 1;
    case D3DFMT_A8L8: return 2;
    default: return 4;
  }
}

D3DFORMAT Convertible(D3DFORMAT reported) {
  switch (reported) {
    case D3DFMT_L8:
    case D3DFMT_A8L8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8R8G8B8: return reported;
    default: return D3DFMT_A8R8G8B8;
  }
}

void Load(MemorySurface& surface, const void* data, UINT size, const RECT* source, DWORD filter,
          D3DCOLOR key) {
  D3DXIMAGE_INFO info{};
  const HRESULT hr =
      D3DXLoadSurfaceFromFileInMemory(&surface, nullptr, nullptr, data, size, source, filter,
                                      key, &info);
  if (surface.isLocked()) {
    std::fprintf(stderr, "picture fuzz: surface left locked\n");
    std::abort();
  }
  if (SUCCEEDED(hr) && !surface.padIntact()) {
    std::fprintf(stderr, "picture fuzz: decoder wrote past a row\n");
    std::abort();
  }
}

}  // namespace

void DecodePictureBytes(const std::uint8_t* data, std::size_t size) {
  const UINT length = static_cast<UINT>(size);
  D3DXIMAGE_INFO info{};
  if (FAILED(D3DXGetImageInfoFromFileInMemory(data, length, &info))) return;
  if (info.Width == 0 || info.Height == 0) {
    std::fprintf(stderr, "picture fuzz: information accepted an empty picture\n");
    std::abort();
  }
  const D3DFORMAT format = Convertible(info.Format);
  const std::uint64_t pixels = static_cast<std::uint64_t>(info.Width) * info.Height;
  MemorySurface small(7, 5, D3DFMT_A8R8G8B8, 4);
  if (pixels > kMaxWholeSurfacePixels) {
    Load(small, data, length, nullptr, D3DX_FILTER_BOX, 0);
    return;
  }
  MemorySurface whole(info.Width, info.Height, format, BytesPerPixel(format));
  Load(whole, data, length, nullptr, D3DX_DEFAULT, 0);
  if (pixels <= kMaxPartialPixels && info.Width > 1 && info.Height > 1) {
    const RECT part{1, 1, static_cast<LONG>(info.Width), static_cast<LONG>(info.Height)};
    MemorySurface partial(info.Width - 1, info.Height - 1, D3DFMT_X8R8G8B8, 4);
    Load(partial, data, length, &part, D3DX_FILTER_NONE, 0xFF000000);
    Load(small, data, length, nullptr, D3DX_FILTER_POINT, 0);
  }
}
