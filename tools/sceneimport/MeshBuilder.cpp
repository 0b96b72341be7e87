#include "tools/sceneimport/MeshBuilder.h"

#include <cmath>
#include <cstring>
#include <unordered_map>

#include "tools/sceneimport/AxisMapping.h"

namespace sceneimport {
namespace {

// Everything that makes two vertices the same vertex in the output.
struct VertexKey {
  float values[11];  // position, normal, uv0, uv1, unused
  std::uint64_t morph;
  std::uint32_t group;  // side of a double-sided face, or the face itself when flat
  bool operator==(const VertexKey& o) const {
    return std::memcmp(values, o.values, sizeof values) == 0 && morph == o.morph && group == o.group;
  }
};

struct VertexKeyHash {
  std::size_t operator()(const VertexKey& k) const {
    std::uint64_t h = 1469598103934665603ull;
    const auto* bytes = reinterpret_cast<const unsigned char*>(k.values);
    for (std::size_t i = 0; i < sizeof k.values; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    h ^= k.morph + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h ^= k.group * 0x9e3779b97f4a7c15ull;
    return static_cast<std::size_t>(h);
  }
};

struct Corner {
  std::uint32_t vertex;  // joined vertex id
};

struct Triangle {
  std::uint32_t v[3];
};

bool Finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

std::vector<MeshPart> BuildMeshParts(const ImportMesh& mesh, const std::vector<ImportMaterial>& materials,
                                     const MeshMapping& mapping, ImportReport* report) {
  // Joined vertices of the whole mesh first, then triangles per material.
  std::vector<scenefile::Vertex> joined;
  std::vector<std::vector<Vec3>> joinedDeltas;
  std::unordered_map<VertexKey, std::uint32_t, VertexKeyHash> lookup;
  std::vector<int> materialOrder;
  std::unordered_map<int, std::vector<Triangle>> trianglesByMaterial;
  std::size_t targets = 0;
  for (const auto& p : mesh.primitives) targets = std::max(targets, p.morphDeltas.size());
  if (!mapping.keepMorphTargets) targets = 0;
  // The scene's axes mirror the source's; with a further x mirror the pair is a rotation.
  const bool reverse = !mapping.mirrorX;
  std::uint32_t flatFace = 0;
  bool droppedNonFinite = false;

  for (const auto& p : mesh.primitives) {
    const std::size_t n = p.positions.size();
    const ImportMaterial* material =
        p.material >= 0 && static_cast<std::size_t>(p.material) < materials.size() ? &materials[p.material] : nullptr;
    int uvFirst = material ? material->baseTexture.texCoord : 0;
    int uvSecond = material ? material->lightMap.texCoord : 1;
    if (material && material->lightMap.image < 0) uvSecond = 1;
    bool twoSided = material && material->doubleSided;
    bool flat = p.normals.empty() && mesh.flatWithoutNormals;
    if (flat) report->Warn("mesh without normals drawn flat (vertices not shared)", mesh.name);

    // Positions with the static morph weights applied, in scene axes.
    std::vector<Vec3> positions(n);
    std::vector<std::uint64_t> morphHash(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
      Vec3 v = p.positions[i];
      for (std::size_t t = 0; t < p.morphDeltas.size() && t < mapping.staticWeights.size(); ++t)
        v = v + p.morphDeltas[t][i] * mapping.staticWeights[t];
      v = MapPoint(v, mapping.scale);
      if (mapping.mirrorX) v.x = -v.x;
      positions[i] = v;
    }
    auto delta = [&](std::size_t t, std::size_t i) {
      Vec3 d = t < p.morphDeltas.size() ? MapPoint(p.morphDeltas[t][i], mapping.scale) : Vec3{};
      if (mapping.mirrorX) d.x = -d.x;
      return d;
    };
    if (targets)
      for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t h = 1469598103934665603ull;
        for (std::size_t t = 0; t < targets; ++t) {
          Vec3 d = delta(t, i);
          const auto* bytes = reinterpret_cast<const unsigned char*>(&d);
          for (std::size_t b = 0; b < sizeof d; ++b) h = (h ^ bytes[b]) * 1099511628211ull;
        }
        morphHash[i] = h;
      }

    auto vertexId = [&](std::uint32_t i, std::uint32_t group) {
      VertexKey key{};
      Vec3 pos = positions[i];
      key.values[0] = pos.x, key.values[1] = pos.y, key.values[2] = pos.z;
      if (!p.normals.empty()) {
        key.values[3] = p.normals[i].x, key.values[4] = p.normals[i].y, key.values[5] = p.normals[i].z;
      }
      Uv uv0 = p.uvs[uvFirst].empty() ? Uv{0, 0} : p.uvs[uvFirst][i];
      Uv uv1 = p.uvs[uvSecond].empty() ? Uv{0, 0} : p.uvs[uvSecond][i];
      key.values[6] = uv0[0], key.values[7] = uv0[1], key.values[8] = uv1[0], key.values[9] = uv1[1];
      key.morph = morphHash[i];
      key.group = group;
      auto [it, inserted] = lookup.emplace(key, static_cast<std::uint32_t>(joined.size()));
      if (inserted) {
        scenefile::Vertex v;
        v.position = {pos.x, pos.y, pos.z};
        v.uv0 = uv0;
        v.uv1 = uv1;
        joined.push_back(v);
        if (targets) {
          std::vector<Vec3> d(targets);
          for (std::size_t t = 0; t < targets; ++t) d[t] = delta(t, i);
          joinedDeltas.push_back(std::move(d));
        }
      }
      return it->second;
    };

    if (!trianglesByMaterial.count(p.material)) materialOrder.push_back(p.material);
    auto& list = trianglesByMaterial[p.material];
    for (std::size_t t = 0; t + 2 < p.indices.size(); t += 3) {
      std::uint32_t a = p.indices[t], b = p.indices[t + 1], c = p.indices[t + 2];
      if (!Finite(positions[a]) || !Finite(positions[b]) || !Finite(positions[c])) {
        droppedNonFinite = true;
        continue;
      }
      for (std::uint32_t side = 0; side < (twoSided ? 2u : 1u); ++side) {
        std::uint32_t group = flat ? 2 + 2 * flatFace + side : side;
        Triangle tri{{vertexId(a, group), vertexId(b, group), vertexId(c, group)}};
        // Front faces turn the other way on screen after the axis mirror.
        if (reverse != (side == 1)) std::swap(tri.v[1], tri.v[2]);
        list.push_back(tri);
      }
      ++flatFace;
    }
  }
  if (droppedNonFinite) report->Warn("triangles with non-finite positions dropped", mesh.name);

  // Parts: triangles in material order, a new part when the next triangle would
  // take the vertex count past the 16-bit index range.
  std::vector<MeshPart> parts;
  std::vector<std::uint32_t> localIndex(joined.size(), 0xFFFFFFFFu);
  std::vector<std::uint32_t> touched;
  auto newPart = [&]() {
    for (std::uint32_t v : touched) localIndex[v] = 0xFFFFFFFFu;
    touched.clear();
    parts.emplace_back();
    parts.back().morphDeltas.resize(targets);
  };
  newPart();
  for (int material : materialOrder) {
    for (const Triangle& tri : trianglesByMaterial[material]) {
      std::size_t fresh = 0;
      for (std::uint32_t v : tri.v) fresh += localIndex[v] == 0xFFFFFFFFu;
      if (parts.back().vertices.size() + fresh > kMaxPartVertices) newPart();
      MeshPart& part = parts.back();
      if (part.runs.empty() || part.runs.back().material != material)
        part.runs.push_back({material, static_cast<std::uint32_t>(part.indices.size()), 0});
      for (std::uint32_t v : tri.v) {
        if (localIndex[v] == 0xFFFFFFFFu) {
          localIndex[v] = static_cast<std::uint32_t>(part.vertices.size());
          touched.push_back(v);
          part.vertices.push_back(joined[v]);
          for (std::size_t t = 0; t < targets; ++t) part.morphDeltas[t].push_back(joinedDeltas[v][t]);
        }
        part.indices.push_back(localIndex[v]);
      }
      part.runs.back().indexCount += 3;
    }
  }
  if (parts.back().indices.empty()) parts.pop_back();
  return parts;
}

}  // namespace sceneimport
