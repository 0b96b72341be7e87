#include "media/SequencePictures.h"

#include <cstdio>
#include <utility>

SequencePictures::SequencePictures(IDirect3DDevice9* device, std::string sequenceName,
                                   std::uint64_t budgetBytes)
    : device(device), sequenceName(std::move(sequenceName)), budget(budgetBytes) {}

PictureSurface SequencePictures::take(const std::string& name) {
  auto found = pictures.find(name);
  if (found == pictures.end()) {
    // The budget is checked on the header, before the pixels take any memory.
    const PictureFileData file = ReadPictureFile(name);
    UINT width = 0, height = 0;
    FitToDevice(device, file.width, file.height, &width, &height);
    const std::uint64_t bytes = PictureSurfaceBytes(width, height, file.format);
    if (bytes > budget - kept) {
      std::fprintf(stderr,
                   "Sequence '%s': its distinct pictures need more than the %llu MB a sequence "
                   "may keep (reached at '%s')\n",
                   sequenceName.c_str(), static_cast<unsigned long long>(budget >> 20),
                   name.c_str());
      ImageLoadFailed(sequenceName);
    }
    kept += bytes;
    found = pictures.emplace(name, DecodePictureFile(device, name, file)).first;
  }
  const PictureSurface& stored = found->second;
  PictureSurface copy;
  copy.width = stored.width;
  copy.height = stored.height;
  copy.format = stored.format;
  copy.surfaceWidth = stored.surfaceWidth;
  copy.surfaceHeight = stored.surfaceHeight;
  if (stored.surface) {
    stored.surface->AddRef();
    copy.surface.reset(stored.surface.get());
  }
  return copy;
}
