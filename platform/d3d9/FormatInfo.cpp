#include "platform/d3d9/FormatInfo.h"

namespace {

const FormatInfo kDepthFormats[] = {
    {D3DFMT_D24S8, 4, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false, false, true, true},
    {D3DFMT_D24X8, 4, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false, false, true, false},
    {D3DFMT_D16, 2, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
     {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false, false, true, false},
};

}  // namespace

std::span<const FormatInfo> DepthFormatTable() { return kDepthFormats; }

const FormatInfo* FindColorFormat(D3DFORMAT format) {
  for (const FormatInfo& info : ColorFormatTable())
    if (info.format == format) return &info;
  return nullptr;
}

const FormatInfo* FindDepthFormat(D3DFORMAT format) {
  for (const FormatInfo& info : DepthFormatTable())
    if (info.format == format) return &info;
  return nullptr;
}

UINT LockPitch(const FormatInfo& info, UINT width) {
  return (width * info.bytesPerPixel + 3u) & ~3u;
}

GlUpload PrepareUpload(const FormatInfo& info, const std::uint8_t* data, UINT pitch, UINT width,
                       UINT height, std::vector<std::uint8_t>* scratch) {
  if (!info.toGl) return {data, static_cast<GLint>(pitch / info.bytesPerPixel)};
  const std::size_t rowBytes = static_cast<std::size_t>(width) * info.glBytesPerPixel;
  scratch->resize(rowBytes * height);
  for (UINT row = 0; row < height; ++row)
    info.toGl(data + static_cast<std::size_t>(row) * pitch, scratch->data() + row * rowBytes, width);
  return {scratch->data(), static_cast<GLint>(width)};
}

void FinishReadback(const FormatInfo& info, std::uint8_t* data, UINT pitch, UINT width,
                    UINT height) {
  if (!info.toGl) return;
  for (UINT row = 0; row < height; ++row) {
    std::uint8_t* p = data + static_cast<std::size_t>(row) * pitch;
    info.toGl(p, p, width);
  }
}
