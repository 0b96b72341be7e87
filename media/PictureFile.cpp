#include "media/PictureFile.h"

#include <algorithm>
#include <cstdio>

#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"

void ImageLoadFailed(const std::string& name) { OsFatal("Error", "Image load failed: " + name, 0); }

WholeFile ReadImageFile(const std::string& name) {
  MemFileBytes read = ReadMemFileBytes(name.c_str());
  if (!read.opened) ImageLoadFailed(name);
  return std::move(read.bytes);
}

PictureFileData ReadPictureFile(const std::string& name) {
  PictureFileData file;
  file.bytes = ReadImageFile(name);
  D3DXIMAGE_INFO info{};
  if (FAILED(D3DXGetImageInfoFromFileInMemory(file.bytes.data.get(),
                                              static_cast<UINT>(file.bytes.size), &info)))
    ImageLoadFailed(name);
  file.width = info.Width;
  file.height = info.Height;
  file.format = info.Format;
  return file;
}

void FitToDevice(IDirect3DDevice9* device, UINT width, UINT height, UINT* fittedWidth,
                 UINT* fittedHeight) {
  D3DCAPS9 caps{};
  const bool known = SUCCEEDED(device->GetDeviceCaps(&caps));
  *fittedWidth = known && caps.MaxTextureWidth > 0 ? std::min<UINT>(width, caps.MaxTextureWidth)
                                                   : width;
  *fittedHeight = known && caps.MaxTextureHeight > 0
                      ? std::min<UINT>(height, caps.MaxTextureHeight)
                      : height;
}

std::uint64_t PictureSurfaceBytes(UINT width, UINT height, D3DFORMAT format) {
  const std::uint64_t perPixel = format == D3DFMT_L8 ? 1 : format == D3DFMT_A8L8 ? 2 : 4;
  return std::uint64_t{width} * height * perPixel;
}

PictureSurface DecodePictureFile(IDirect3DDevice9* device, const std::string& name,
                                 const PictureFileData& file) {
  PictureSurface picture;
  picture.width = file.width;
  picture.height = file.height;
  picture.format = file.format;
  FitToDevice(device, file.width, file.height, &picture.surfaceWidth, &picture.surfaceHeight);
  if (picture.surfaceWidth != file.width || picture.surfaceHeight != file.height)
    std::fprintf(stderr,
                 "Picture '%s' is %ux%u, more than the device's textures take: shown scaled "
                 "to %ux%u\n",
                 name.c_str(), file.width, file.height, picture.surfaceWidth,
                 picture.surfaceHeight);
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(device->CreateOffscreenPlainSurface(picture.surfaceWidth, picture.surfaceHeight,
                                                 file.format, D3DPOOL_SYSTEMMEM, &surface,
                                                 nullptr)))
    return picture;
  picture.surface.reset(surface);
  // A picture whose header reads but whose pixels do not is as unreadable as a missing one.
  if (FAILED(D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, file.bytes.data.get(),
                                             static_cast<UINT>(file.bytes.size), nullptr,
                                             D3DX_DEFAULT, 0, nullptr)))
    ImageLoadFailed(name);
  return picture;
}

PictureSurface LoadPictureSurface(IDirect3DDevice9* device, const std::string& name) {
  return DecodePictureFile(device, name, ReadPictureFile(name));
}
