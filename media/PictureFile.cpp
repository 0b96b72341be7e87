#include "media/PictureFile.h"

#include "archive/MemFile.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"

void ImageLoadFailed(const std::string& name) { OsFatal("Error", "Image load failed: " + name, 0); }

std::vector<std::uint8_t> ReadImageFile(const std::string& name) {
  MemFile* file = MemFileOpen(name.c_str());
  if (!file) ImageLoadFailed(name);
  MemFileSeek(file, 0, 2);
  const std::int32_t size = MemFileTell(file);
  MemFileSeek(file, 0, 0);
  std::vector<std::uint8_t> bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
  const std::size_t read = MemFileRead(bytes.data(), 1, bytes.size(), file);
  MemFileClose(file);
  bytes.resize(read);
  return bytes;
}

PictureSurface LoadPictureSurface(IDirect3DDevice9* device, const std::string& name) {
  const std::vector<std::uint8_t> bytes = ReadImageFile(name);
  const UINT size = static_cast<UINT>(bytes.size());
  D3DXIMAGE_INFO info{};
  if (FAILED(D3DXGetImageInfoFromFileInMemory(bytes.data(), size, &info))) ImageLoadFailed(name);

  PictureSurface picture;
  picture.width = info.Width;
  picture.height = info.Height;
  picture.format = info.Format;
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(device->CreateOffscreenPlainSurface(info.Width, info.Height, info.Format,
                                                 D3DPOOL_SYSTEMMEM, &surface, nullptr)))
    return picture;
  picture.surface.reset(surface);
  // A picture whose header reads but whose pixels do not is as unreadable as a missing one.
  if (FAILED(D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, bytes.data(), size,
                                             nullptr, D3DX_DEFAULT, 0, nullptr)))
    ImageLoadFailed(name);
  return picture;
}
