#include "tools/sceneimport/MeshBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

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

std::uint64_t HashKey(const VertexKey& k) {
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
  return h;
}

// A joined vertex is named by the source vertex it was first made from: the output
// vertex, its key and its morph deltas are all read from the source again when
// needed, so a large mesh is not held a second and third time.
struct SourceVertex {
  std::uint32_t primitive, index, group;
};

// One primitive's vertices as the output needs them.
struct PrimitiveSource {
  const ImportPrimitive* primitive = nullptr;
  std::vector<Vec3> positions;       // static morph weights applied, scene axes
  std::vector<std::uint64_t> morph;  // hash of the vertex's deltas; empty without targets
  int uvFirst = 0, uvSecond = 1;
  bool twoSided = false, flat = false;
};

class MeshSource {
 public:
  MeshSource(const ImportMesh& mesh, const std::vector<ImportMaterial>& materials, const MeshMapping& mapping,
             std::size_t targets)
      : mapping_(mapping) {
    primitives_.reserve(mesh.primitives.size());
    for (const auto& p : mesh.primitives) {
      PrimitiveSource s;
      s.primitive = &p;
      const ImportMaterial* material =
          p.material >= 0 && static_cast<std::size_t>(p.material) < materials.size() ? &materials[p.material] : nullptr;
      s.uvFirst = material ? material->baseTexture.texCoord : 0;
      s.uvSecond = material && material->lightMap.image >= 0 ? material->lightMap.texCoord : 1;
      s.twoSided = material && material->doubleSided;
      s.flat = p.normals.empty() && mesh.flatWithoutNormals;
      const std::size_t n = p.positions.size();
      s.positions.resize(n);
      for (std::size_t i = 0; i < n; ++i) {
        Vec3 v = p.positions[i];
        for (std::size_t t = 0; t < p.morphDeltas.size() && t < mapping.staticWeights.size(); ++t)
          v = v + p.morphDeltas[t][i] * mapping.staticWeights[t];
        v = MapPoint(v, mapping.scale);
        if (mapping.mirrorX) v.x = -v.x;
        s.positions[i] = v;
      }
      primitives_.push_back(std::move(s));
      if (targets) {
        PrimitiveSource& added = primitives_.back();
        added.morph.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
          std::uint64_t h = 1469598103934665603ull;
          for (std::size_t t = 0; t < targets; ++t) {
            Vec3 d = Delta(added, t, i);
            const auto* bytes = reinterpret_cast<const unsigned char*>(&d);
            for (std::size_t b = 0; b < sizeof d; ++b) h = (h ^ bytes[b]) * 1099511628211ull;
          }
          added.morph[i] = h;
        }
      }
    }
  }

  const PrimitiveSource& Primitive(std::uint32_t k) const { return primitives_[k]; }
  std::size_t Size() const { return primitives_.size(); }

  VertexKey Key(SourceVertex v) const {
    const PrimitiveSource& s = primitives_[v.primitive];
    const ImportPrimitive& p = *s.primitive;
    VertexKey key{};
    Vec3 pos = s.positions[v.index];
    key.values[0] = pos.x, key.values[1] = pos.y, key.values[2] = pos.z;
    if (!p.normals.empty()) {
      Vec3 n = p.normals[v.index];
      key.values[3] = n.x, key.values[4] = n.y, key.values[5] = n.z;
    }
    Uv uv0 = p.uvs[s.uvFirst].empty() ? Uv{0, 0} : p.uvs[s.uvFirst][v.index];
    Uv uv1 = p.uvs[s.uvSecond].empty() ? Uv{0, 0} : p.uvs[s.uvSecond][v.index];
    key.values[6] = uv0[0], key.values[7] = uv0[1], key.values[8] = uv1[0], key.values[9] = uv1[1];
    key.morph = s.morph.empty() ? 0 : s.morph[v.index];
    key.group = v.group;
    return key;
  }

  scenefile::Vertex Output(SourceVertex v) const {
    VertexKey key = Key(v);
    scenefile::Vertex out;
    out.position = {key.values[0], key.values[1], key.values[2]};
    out.uv0 = {key.values[6], key.values[7]};
    out.uv1 = {key.values[8], key.values[9]};
    return out;
  }

  Vec3 Delta(SourceVertex v, std::size_t t) const { return Delta(primitives_[v.primitive], t, v.index); }

 private:
  Vec3 Delta(const PrimitiveSource& s, std::size_t t, std::size_t i) const {
    Vec3 d = t < s.primitive->morphDeltas.size() ? MapPoint(s.primitive->morphDeltas[t][i], mapping_.scale) : Vec3{};
    if (mapping_.mirrorX) d.x = -d.x;
    return d;
  }

  const MeshMapping& mapping_;
  std::vector<PrimitiveSource> primitives_;
};

// Open addressing over the joined vertices (node-based maps are slow here). A slot
// holds a joined vertex and the top of its key's hash, so that a probe reads the
// source again only when the vertex is almost surely the one looked for.
class VertexTable {
 public:
  VertexTable(const MeshSource& source, std::size_t expected) : source_(source) {
    std::size_t size = 16;
    while (size < expected * 2) size <<= 1;
    slots_.assign(size, Slot{kEmpty, 0});
    joined_.reserve(expected);
  }
  // The joined id of `vertex`, added when no joined vertex has its key.
  std::uint32_t Find(SourceVertex vertex, const VertexKey& key, std::uint64_t hash) {
    if (joined_.size() * 2 >= slots_.size()) Grow();
    const std::uint32_t tag = static_cast<std::uint32_t>(hash >> 32);
    std::size_t mask = slots_.size() - 1, at = hash & mask;
    while (slots_[at].id != kEmpty) {
      if (slots_[at].tag == tag && source_.Key(joined_[slots_[at].id]) == key) return slots_[at].id;
      at = (at + 1) & mask;
    }
    slots_[at] = {static_cast<std::uint32_t>(joined_.size()), tag};
    joined_.push_back(vertex);
    return slots_[at].id;
  }
  std::uint32_t Find(SourceVertex vertex) {
    VertexKey key = source_.Key(vertex);
    return Find(vertex, key, HashKey(key));
  }
  // Asks the memory for the slot a later Find with `hash` will read first.
  void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]); }
  const std::vector<SourceVertex>& Joined() const { return joined_; }

 private:
  struct Slot {
    std::uint32_t id, tag;
  };
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  void Grow() {
    std::vector<Slot> slots(slots_.size() * 2, Slot{kEmpty, 0});
    std::size_t mask = slots.size() - 1;
    for (std::uint32_t k = 0; k < joined_.size(); ++k) {
      std::uint64_t hash = HashKey(source_.Key(joined_[k]));
      std::size_t at = hash & mask;
      while (slots[at].id != kEmpty) at = (at + 1) & mask;
      slots[at] = {k, static_cast<std::uint32_t>(hash >> 32)};
    }
    slots_.swap(slots);
  }
  const MeshSource& source_;
  std::vector<Slot> slots_;
  std::vector<SourceVertex> joined_;
};

bool Finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

std::vector<MeshPart> BuildMeshParts(const ImportMesh& mesh, const std::vector<ImportMaterial>& materials,
                                     const MeshMapping& mapping, ImportReport* report) {
  std::size_t targets = 0;
  for (const auto& p : mesh.primitives) targets = std::max(targets, p.morphDeltas.size());
  if (!mapping.keepMorphTargets) targets = 0;
  const MeshSource source(mesh, materials, mapping, targets);
  // The scene's axes mirror the source's; with a further x mirror the pair is a rotation.
  const bool reverse = !mapping.mirrorX;

  std::size_t most = 0;
  for (std::uint32_t k = 0; k < source.Size(); ++k) {
    const PrimitiveSource& s = source.Primitive(k);
    most += (s.flat ? s.primitive->indices.size() : s.positions.size()) * (s.twoSided ? 2 : 1);
  }
  VertexTable lookup(source, most);

  // Shared vertices are joined in source order first, with the table's memory asked
  // for ahead of use: lookups in triangle order wait on the memory most of the time.
  // known[k][side][i] is the joined vertex of primitive k's vertex i.
  std::vector<std::array<std::vector<std::uint32_t>, 2>> known(source.Size());
  std::vector<int> materialOrder;
  for (std::uint32_t k = 0; k < source.Size(); ++k) {
    const PrimitiveSource& s = source.Primitive(k);
    if (std::find(materialOrder.begin(), materialOrder.end(), s.primitive->material) == materialOrder.end())
      materialOrder.push_back(s.primitive->material);
    if (s.flat) {
      report->Warn("mesh without normals drawn flat (vertices not shared)", mesh.name);
      continue;
    }
    const std::uint32_t n = static_cast<std::uint32_t>(s.positions.size());
    constexpr std::uint32_t kAhead = 16;
    std::uint64_t ahead[kAhead];
    auto hashAt = [&](std::uint32_t i, std::uint32_t side) { return HashKey(source.Key({k, i, side})); };
    for (std::uint32_t side = 0; side < (s.twoSided ? 2u : 1u); ++side) {
      known[k][side].resize(n);
      for (std::uint32_t i = 0; i < std::min(n, kAhead); ++i) ahead[i] = hashAt(i, side);
      for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t hash = ahead[i % kAhead];
        if (i + kAhead < n) {
          ahead[i % kAhead] = hashAt(i + kAhead, side);
          lookup.Prefetch(ahead[i % kAhead]);
        }
        if (Finite(s.positions[i])) known[k][side][i] = lookup.Find({k, i, side}, source.Key({k, i, side}), hash);
      }
    }
  }

  // Parts: triangles in material order, a new part when the next triangle would
  // take the vertex count past the 16-bit index range.
  const std::vector<SourceVertex>& joined = lookup.Joined();
  std::vector<MeshPart> parts;
  std::vector<std::uint32_t> localIndex(most, 0xFFFFFFFFu);
  std::vector<std::uint32_t> touched;
  std::size_t verticesLeft = most, cornersLeft = 0;
  for (const auto& p : mesh.primitives) cornersLeft += p.indices.size() * 2;
  // Room for a part's usual share of triangles up front: growing a large vector
  // step by step touches fresh memory at every step.
  auto newPart = [&]() {
    if (!parts.empty() && parts.back().indices.capacity() > 2 * parts.back().indices.size())
      parts.back().indices.shrink_to_fit();
    for (std::uint32_t v : touched) localIndex[v] = 0xFFFFFFFFu;
    touched.clear();
    parts.emplace_back();
    parts.back().morphDeltas.resize(targets);
    parts.back().vertices.reserve(std::min(kMaxPartVertices, verticesLeft));
    parts.back().indices.reserve(std::min(cornersLeft, 6 * kMaxPartVertices));
  };
  newPart();
  std::uint32_t flatFace = 0;
  bool droppedNonFinite = false;
  for (int material : materialOrder) {
    for (std::uint32_t k = 0; k < source.Size(); ++k) {
      const PrimitiveSource& s = source.Primitive(k);
      const ImportPrimitive& p = *s.primitive;
      if (p.material != material) continue;
      for (std::size_t t = 0; t + 2 < p.indices.size(); t += 3) {
        const std::uint32_t corner[3] = {p.indices[t], p.indices[t + 1], p.indices[t + 2]};
        if (!Finite(s.positions[corner[0]]) || !Finite(s.positions[corner[1]]) || !Finite(s.positions[corner[2]])) {
          droppedNonFinite = true;
          continue;
        }
        for (std::uint32_t side = 0; side < (s.twoSided ? 2u : 1u); ++side) {
          std::uint32_t tri[3];
          for (int c = 0; c < 3; ++c)
            tri[c] = s.flat ? lookup.Find({k, corner[c], 2 + 2 * flatFace + side}) : known[k][side][corner[c]];
          // Front faces turn the other way on screen after the axis mirror.
          if (reverse != (side == 1)) std::swap(tri[1], tri[2]);
          std::size_t fresh = 0;
          for (std::uint32_t v : tri) fresh += localIndex[v] == 0xFFFFFFFFu;
          if (parts.back().vertices.size() + fresh > kMaxPartVertices) newPart();
          MeshPart& part = parts.back();
          if (part.runs.empty() || part.runs.back().material != material)
            part.runs.push_back({material, static_cast<std::uint32_t>(part.indices.size()), 0});
          for (std::uint32_t v : tri) {
            if (localIndex[v] == 0xFFFFFFFFu) {
              localIndex[v] = static_cast<std::uint32_t>(part.vertices.size());
              touched.push_back(v);
              part.vertices.push_back(source.Output(joined[v]));
              for (std::size_t d = 0; d < targets; ++d) part.morphDeltas[d].push_back(source.Delta(joined[v], d));
              verticesLeft -= verticesLeft > 0;
            }
            part.indices.push_back(localIndex[v]);
          }
          cornersLeft -= std::min<std::size_t>(cornersLeft, 3);
          part.runs.back().indexCount += 3;
        }
        ++flatFace;
      }
    }
  }
  if (droppedNonFinite) report->Warn("triangles with non-finite positions dropped", mesh.name);
  if (parts.back().indices.empty()) parts.pop_back();
  return parts;
}

}  // namespace sceneimport
