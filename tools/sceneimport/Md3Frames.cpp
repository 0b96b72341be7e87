#include "tools/sceneimport/Md3Frames.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "tools/sceneimport/FileBytes.h"

namespace sceneimport {
namespace {

constexpr float kUnit = 1.0f / 64;  // positions are stored in 64ths

// One surface's vertices as assimp lays them out: three per triangle, in order.
struct Surface {
  std::vector<std::vector<Vec3>> frames;
};

class Md3 {
 public:
  explicit Md3(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

  bool Read(std::size_t maxFrames, std::vector<Surface>* out) const {
    if (bytes_.size() < 108 || std::memcmp(bytes_.data(), "IDP3", 4) != 0) return false;
    std::int32_t frames = I32(76), surfaces = I32(84), at = I32(100);
    if (frames < 1 || surfaces < 0 || surfaces > 256 || at < 0) return false;
    const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(frames), maxFrames);
    std::size_t start = static_cast<std::size_t>(at);
    for (std::int32_t s = 0; s < surfaces; ++s) {
      if (start + 108 > bytes_.size() || std::memcmp(bytes_.data() + start, "IDP3", 4) != 0) return false;
      std::int32_t surfaceFrames = I32(start + 72), vertices = I32(start + 80), triangles = I32(start + 84);
      std::int32_t ofsTriangles = I32(start + 88), ofsXyz = I32(start + 100), ofsEnd = I32(start + 104);
      if (surfaceFrames != frames || vertices < 0 || triangles < 0 || ofsTriangles < 0 || ofsXyz < 0 || ofsEnd <= 0)
        return false;
      const std::size_t tri = start + static_cast<std::size_t>(ofsTriangles);
      const std::size_t xyz = start + static_cast<std::size_t>(ofsXyz);
      if (tri + std::size_t{12} * static_cast<std::size_t>(triangles) > bytes_.size() ||
          xyz + std::size_t{8} * static_cast<std::size_t>(vertices) * static_cast<std::size_t>(frames) > bytes_.size())
        return false;
      Surface surface;
      surface.frames.resize(kept);
      for (std::size_t f = 0; f < kept; ++f) {
        auto& positions = surface.frames[f];
        positions.reserve(static_cast<std::size_t>(triangles) * 3);
        for (std::int32_t t = 0; t < triangles; ++t)
          for (int c = 0; c < 3; ++c) {
            std::int32_t v = I32(tri + static_cast<std::size_t>(t) * 12 + static_cast<std::size_t>(c) * 4);
            if (v < 0 || v >= vertices) return false;
            std::size_t p = xyz + (f * static_cast<std::size_t>(vertices) + static_cast<std::size_t>(v)) * 8;
            positions.push_back({I16(p) * kUnit, I16(p + 2) * kUnit, I16(p + 4) * kUnit});
          }
      }
      // assimp leaves out surfaces without triangles.
      if (vertices > 0 && triangles > 0) out->push_back(std::move(surface));
      start += static_cast<std::size_t>(ofsEnd);
    }
    return true;
  }

 private:
  std::int32_t I32(std::size_t at) const {
    std::int32_t v;
    std::memcpy(&v, bytes_.data() + at, 4);
    return v;
  }
  float I16(std::size_t at) const {
    std::int16_t v;
    std::memcpy(&v, bytes_.data() + at, 2);
    return v;
  }
  std::vector<char> bytes_;
};

bool SamePositions(const aiMesh& mesh, const std::vector<Vec3>& positions) {
  if (mesh.mNumVertices != positions.size()) return false;
  for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
    const aiVector3D& a = mesh.mVertices[v];
    if (std::abs(a.x - positions[v].x) > 1e-4f || std::abs(a.y - positions[v].y) > 1e-4f ||
        std::abs(a.z - positions[v].z) > 1e-4f)
      return false;
  }
  return true;
}

}  // namespace

std::vector<std::vector<std::vector<Vec3>>> ReadMd3Frames(const std::string& path, const aiScene& first,
                                                          std::size_t maxFrames) {
  constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;
  std::vector<char> bytes = ReadFileBytes(path, 108, kMaxFileBytes);  // 108: the header
  if (bytes.empty()) return {};
  std::vector<Surface> surfaces;
  if (!Md3(std::move(bytes)).Read(maxFrames, &surfaces)) return {};
  // Surfaces are matched to assimp's meshes by their first frame, whatever order
  // assimp keeps them in.
  std::vector<std::vector<std::vector<Vec3>>> out(first.mNumMeshes);
  for (unsigned m = 0; m < first.mNumMeshes; ++m)
    for (auto& surface : surfaces)
      if (surface.frames.size() > 1 && SamePositions(*first.mMeshes[m], surface.frames[0])) {
        out[m].assign(std::make_move_iterator(surface.frames.begin() + 1), std::make_move_iterator(surface.frames.end()));
        surface.frames.clear();
        break;
      }
  return out;
}

}  // namespace sceneimport
