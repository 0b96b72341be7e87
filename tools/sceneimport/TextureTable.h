// The scene's texture files: each picture the materials use, in the variant they
// need, gets one texture chunk and one file under the texture folder. Pictures the
// player cannot take as they are (grey with alpha, palettes, a colour factor to bake
// in, an alpha channel an opaque material must not blend with) are re-encoded as PNG.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tools/scenewriter/SceneWriter.h"
#include "tools/sceneimport/ImportModel.h"
#include "tools/sceneimport/ImportReport.h"

namespace sceneimport {

struct OutputFile {
  std::string path;  // where to write it
  std::vector<std::uint8_t> bytes;
};

struct TextureVariant {
  std::array<float, 3> tint{1, 1, 1};  // multiplies the colour channels
  bool dropAlpha = false;
  auto operator<=>(const TextureVariant&) const = default;
};

class TextureTable {
 public:
  // `folder`: where the files go; `showFolder`: what the stored names are relative to.
  TextureTable(const ImportScene& scene, std::string folder, std::string showFolder,
               std::string prefix, ImportReport* report);

  // The file index of the texture chunk for `image` in `variant`, writing the chunk
  // the first time; scenefile::kNone when the picture cannot be used.
  std::uint32_t Use(int image, const TextureVariant& variant, scenefile::SceneWriter* writer,
                    std::uint32_t* nextIndex);
  // True when the picture carries alpha (after decoding).
  bool HasAlpha(int image) const;

  const std::vector<OutputFile>& Files() const { return files_; }

 private:
  std::string UniqueName(const std::string& wanted);

  const ImportScene& scene_;
  std::string folder_, showFolder_, prefix_;
  ImportReport& report_;
  std::map<std::pair<int, TextureVariant>, std::uint32_t> chunks_;
  std::map<std::string, int> names_;
  std::vector<OutputFile> files_;
};

// Encodes 8-bit RGB or RGBA rows as a PNG file; empty on failure.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    const std::vector<std::uint8_t>& pixels);

}  // namespace sceneimport
