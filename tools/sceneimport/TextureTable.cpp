#include "tools/sceneimport/TextureTable.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "platform/d3dx/PictureFile.h"
#include "text/Text.h"

namespace sceneimport {
namespace {

// A name for a file the player cannot decode, from its first bytes.
std::string KindName(const std::vector<std::uint8_t>& b) {
  auto starts = [&](const char* magic, std::size_t at = 0) {
    std::size_t n = std::strlen(magic);
    return b.size() >= at + n && std::memcmp(b.data() + at, magic, n) == 0;
  };
  if (starts("RIFF") && starts("WEBP", 8)) return "WebP";
  if (starts("DDS ")) return "DDS";
  if (starts("\xABKTX")) return "KTX";
  if (starts("GIF8")) return "GIF";
  if (starts("\x89PNG") || (b.size() > 2 && b[0] == 0xFF && b[1] == 0xD8)) return "a damaged PNG or JPEG";
  return "an unknown format";
}

std::string Extension(d3dx::PictureFileKind kind) {
  switch (kind) {
    case d3dx::PictureFileKind::Jpeg: return ".jpg";
    case d3dx::PictureFileKind::Bmp: return ".bmp";
    case d3dx::PictureFileKind::Tga: return ".tga";
    case d3dx::PictureFileKind::Png: break;
  }
  return ".png";
}

bool LayoutHasAlpha(d3dx::PictureLayout layout) {
  return layout == d3dx::PictureLayout::Rgba || layout == d3dx::PictureLayout::GreyAlpha;
}

std::uint8_t Scale(std::uint8_t v, float f) {
  float r = v * f + 0.5f;
  return static_cast<std::uint8_t>(std::clamp(r, 0.0f, 255.0f));
}

}  // namespace

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    const std::vector<std::uint8_t>& pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return {};
  std::vector<std::uint8_t> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

TextureTable::TextureTable(const ImportScene& scene, std::string folder, std::string showFolder,
                           std::string prefix, ImportReport* report)
    : scene_(scene), folder_(std::move(folder)), showFolder_(std::move(showFolder)),
      prefix_(std::move(prefix)), report_(*report) {}

bool TextureTable::HasAlpha(int image) const {
  if (image < 0 || static_cast<std::size_t>(image) >= scene_.images.size()) return false;
  const auto& bytes = scene_.images[image].bytes;
  d3dx::PictureHeader header;
  return d3dx::ReadPictureHeader(bytes.data(), bytes.size(), &header) && LayoutHasAlpha(header.layout);
}

std::string TextureTable::UniqueName(const std::string& wanted) {
  std::filesystem::path p(wanted);
  std::string stem = p.stem().string(), ext = p.extension().string();
  std::string name = wanted;
  for (int n = 2; names_.count(name); ++n) name = stem + "-" + std::to_string(n) + ext;
  names_[name] = 1;
  return name;
}

std::uint32_t TextureTable::Use(int image, const TextureVariant& variant, scenefile::SceneWriter* writer,
                                std::uint32_t* nextIndex) {
  if (image < 0 || static_cast<std::size_t>(image) >= scene_.images.size()) return scenefile::kNone;
  auto key = std::make_pair(image, variant);
  auto found = chunks_.find(key);
  if (found != chunks_.end()) return found->second;
  const ImportImage& source = scene_.images[image];
  std::uint32_t result = scenefile::kNone;
  d3dx::PictureHeader header;
  if (source.bytes.empty()) {
    // Reported by the front end.
  } else if (!d3dx::ReadPictureHeader(source.bytes.data(), source.bytes.size(), &header)) {
    report_.Warn("picture in a format the player cannot read (" + KindName(source.bytes) + "), texture dropped",
                 source.origin);
  } else {
    bool tinted = variant.tint != std::array<float, 3>{1, 1, 1};
    bool dropAlpha = variant.dropAlpha && LayoutHasAlpha(header.layout);
    // The player takes only 32-bit colour and 8-bit grey textures.
    bool convert = header.layout == d3dx::PictureLayout::GreyAlpha || header.layout == d3dx::PictureLayout::Palette;
    std::string base = source.name.empty() ? prefix_ + "-image" + std::to_string(image) : source.name;
    std::filesystem::path basePath(base);
    OutputFile file;
    if (!tinted && !dropAlpha && !convert) {
      const std::string lower = text::Lower(basePath.extension().string());
      std::string want = Extension(header.kind);
      bool matches = lower == want || (want == ".jpg" && lower == ".jpeg");
      file.path = UniqueName(matches ? base : basePath.stem().string() + want);
      file.bytes = source.bytes;
    } else {
      d3dx::Picture picture;
      if (!d3dx::DecodePicture(source.bytes.data(), source.bytes.size(), &picture)) {
        report_.Warn("picture could not be decoded, texture dropped", source.origin);
        chunks_[key] = scenefile::kNone;
        return scenefile::kNone;
      }
      bool alpha = (picture.channels == 2 || picture.channels == 4) && !dropAlpha;
      int channels = alpha ? 4 : 3;
      std::vector<std::uint8_t> pixels(static_cast<std::size_t>(picture.width) * picture.height * channels);
      for (std::size_t i = 0, n = static_cast<std::size_t>(picture.width) * picture.height; i < n; ++i) {
        const std::uint8_t* p = picture.pixels.data() + i * picture.channels;
        std::uint8_t rgba[4];
        if (picture.channels <= 2) rgba[0] = rgba[1] = rgba[2] = p[0];
        else std::copy_n(p, 3, rgba);
        rgba[3] = picture.channels == 2 ? p[1] : picture.channels == 4 ? p[3] : 255;
        std::uint8_t* q = pixels.data() + i * channels;
        for (int c = 0; c < 3; ++c) q[c] = Scale(rgba[c], variant.tint[c]);
        if (alpha) q[3] = rgba[3];
      }
      file.bytes = EncodePng(picture.width, picture.height, channels, pixels);
      if (file.bytes.empty()) {
        report_.Warn("picture could not be re-encoded, texture dropped", source.origin);
        chunks_[key] = scenefile::kNone;
        return scenefile::kNone;
      }
      std::string suffix = tinted ? "-tinted" : dropAlpha ? "-opaque" : "-rgba";
      file.path = UniqueName(basePath.stem().string() + suffix + ".png");
    }
    std::filesystem::path full = std::filesystem::path(folder_) / file.path;
    std::filesystem::path stored = std::filesystem::path(folder_).lexically_relative(showFolder_) / file.path;
    std::string storedName = stored.lexically_normal().generic_string();
    if (storedName.rfind("..", 0) == 0 || std::filesystem::path(folder_).lexically_relative(showFolder_).empty()) {
      report_.Warn("texture folder lies outside the show folder: names stored as given", folder_);
      storedName = (std::filesystem::path(folder_) / file.path).generic_string();
    }
    file.path = full.string();
    files_.push_back(std::move(file));
    result = (*nextIndex)++;
    writer->Add(scenefile::TextureChunk{result, storedName});
    ++report_.counts.textures;
  }
  chunks_[key] = result;
  return result;
}

}  // namespace sceneimport
