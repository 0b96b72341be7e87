#include "tools/sceneimport/MeshBuilder.h"

#include <cmath>
#include <cstring>
#include <unordered_map>

#include "tools/sceneimport/AxisMapping.h"

namespace sceneimport {
namespace {

// Everything that makes two vertices the same vertex in the output.
struct VertexKey {
  float values[10];  // position, normal, uv0, uv1
  std::uint64_t morph;
  std::uint32_t group;  // side of a double-sided face, or the face itself when flat
  bool operator==(const VertexKey& o) const {
    return std::memcmp(values, o.values, sizeof values) == 0 && morph == o.morph && group == o.group;
  }
};

struct VertexKeyHash {
  std::size_t operator()(const VertexKey& k) const {
    std::uint32_t words[10];
    std::memcpy(words, k.values, sizeof words);
    std::uint64_t h = k.morph ^ (static_cast<std::uint64_t>(k.group) << 32);
    for (std::uint32_t w : words) h = (h ^ w) * 0x9e3779b97f4a7c15ull, h ^= h >> 29;
    // Float bits vary little in their low bits: mix everything into the low bits the table uses.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
  }
};

// Open addressing over the joined vertices' keys (node-based maps are slow here).
class VertexTable {
 public:
  explicit VertexTable(std::size_t expected) {
    std::size_t size = 16;
    while (size < expected * 2) size <<= 1;
    slots_.assign(size, kEmpty);
    keys_.reserve(expected);
    ids_.reserve(expected);
  }
  // The id of `key`, or `fresh` stored as its id when it is new.
  std::uint32_t Find(const VertexKey& key, std::uint32_t fresh, bool* inserted) {
    return Find(key, VertexKeyHash{}(key), fresh, inserted);
  }
  // Asks the memory for the slot a later Find with `hash` will read first.
  void Prefetch(std::size_t hash) const { __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]); }
  std::uint32_t Find(const VertexKey& key, std::size_t hash, std::uint32_t fresh, bool* inserted) {
    if (keys_.size() * 2 >= slots_.size()) Grow();
    std::size_t mask = slots_.size() - 1, at = hash & mask;
    while (slots_[at] != kEmpty) {
      if (keys_[slots_[at]] == key) {
        *inserted = false;
        return ids_[slots_[at]];
      }
      at = (at + 1) & mask;
    }
    slots_[at] = static_cast<std::uint32_t>(keys_.size());
    keys_.push_back(key);
    ids_.push_back(fresh);
    *inserted = true;
    return fresh;
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  void Grow() {
    std::vector<std::uint32_t> slots(slots_.size() * 2, kEmpty);
    std::size_t mask = slots.size() - 1;
    for (std::uint32_t k = 0; k < keys_.size(); ++k) {
      std::size_t at = VertexKeyHash{}(keys_[k]) & mask;
      while (slots[at] != kEmpty) at = (at + 1) & mask;
      slots[at] = k;
    }
    slots_.swap(slots);
  }
  std::vector<std::uint32_t> slots_;
  std::vector<VertexKey> keys_;
  std::vector<std::uint32_t> ids_;
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
  std::vector<int> materialOrder;
  std::unordered_map<int, std::vector<Triangle>> trianglesByMaterial;
  std::size_t targets = 0;
  for (const auto& p : mesh.primitives) targets = std::max(targets, p.morphDeltas.size());
  if (!mapping.keepMorphTargets) targets = 0;
  // The scene's axes mirror the source's; with a further x mirror the pair is a rotation.
  const bool reverse = !mapping.mirrorX;
  std::uint32_t flatFace = 0;
  bool droppedNonFinite = false;

  std::size_t corners = 0;
  for (const auto& p : mesh.primitives) corners += p.indices.size();
  VertexTable lookup(corners / 4);
  joined.reserve(corners / 4);
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

    // Each source vertex is looked up once per side; later corners reuse the answer.
    std::vector<std::uint32_t> known[2];
    auto makeKey = [&](std::uint32_t i, std::uint32_t group) {
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
      return key;
    };
    auto insert = [&](std::uint32_t i, const VertexKey& key, std::size_t hash, std::vector<std::uint32_t>* cache) {
      bool inserted = false;
      std::uint32_t id = lookup.Find(key, hash, static_cast<std::uint32_t>(joined.size()), &inserted);
      if (inserted) {
        scenefile::Vertex v;
        v.position = {key.values[0], key.values[1], key.values[2]};
        v.uv0 = {key.values[6], key.values[7]};
        v.uv1 = {key.values[8], key.values[9]};
        joined.push_back(v);
        if (targets) {
          std::vector<Vec3> d(targets);
          for (std::size_t t = 0; t < targets; ++t) d[t] = delta(t, i);
          joinedDeltas.push_back(std::move(d));
        }
      }
      if (cache) (*cache)[i] = id;
      return id;
    };
    auto vertexId = [&](std::uint32_t i, std::uint32_t group) {
      std::vector<std::uint32_t>* cache = group < 2 ? &known[group] : nullptr;
      if (cache) {
        if (cache->empty()) cache->assign(n, 0xFFFFFFFFu);
        if ((*cache)[i] != 0xFFFFFFFFu) return (*cache)[i];
      }
      VertexKey key = makeKey(i, group);
      return insert(i, key, VertexKeyHash{}(key), cache);
    };
    // Shared vertices are joined in source order first, with the table's memory asked
    // for ahead of use: lookups in triangle order wait on the memory most of the time.
    if (!flat) {
      constexpr std::uint32_t kAhead = 16;
      for (std::uint32_t side = 0; side < (twoSided ? 2u : 1u); ++side) {
        known[side].assign(n, 0xFFFFFFFFu);
        std::vector<std::size_t> hashes(n);
        for (std::uint32_t i = 0; i < n; ++i) hashes[i] = VertexKeyHash{}(makeKey(i, side));
        for (std::uint32_t i = 0; i < n; ++i) {
          if (i + kAhead < n) lookup.Prefetch(hashes[i + kAhead]);
          if (Finite(positions[i])) insert(i, makeKey(i, side), hashes[i], &known[side]);
        }
      }
    }
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
