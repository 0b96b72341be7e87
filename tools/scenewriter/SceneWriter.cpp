#include "tools/scenewriter/SceneWriter.h"

#include <cstring>
#include <fstream>

namespace scenefile {
namespace {

// One chunk's payload, little-endian.
class Payload {
 public:
  void U8(std::uint8_t v) { bytes.push_back(v); }
  // Large buffers are sized once: growing them step by step touches fresh memory at every step.
  void Reserve(std::size_t more) { bytes.reserve(bytes.size() + more); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
  }
  template <std::size_t N>
  void Floats(const std::array<float, N>& values) {
    for (float v : values) F32(v);
  }
  void String(const std::string& text) {
    U16(static_cast<std::uint16_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.begin() + static_cast<std::uint16_t>(text.size()));
  }
  void Node(const NodeHeader& node, bool withVisibility) {
    I32(node.parent);
    String(node.name);
    Floats(node.position);
    Floats(node.rotation);
    Floats(node.scale);
    String(node.properties);
    U8(node.shadowFlag1);
    U8(node.shadowFlag2);
    if (withVisibility) F32(node.visibility);
  }
  void Times(const std::array<std::uint32_t, 4>& times) {
    for (std::uint32_t t : times) U32(t);
  }

  std::vector<std::uint8_t> bytes;
};

}  // namespace

void SceneWriter::RawWithLength(std::uint16_t type, std::uint16_t version, std::uint32_t index,
                                std::uint32_t declaredLength,
                                const std::vector<std::uint8_t>& payload) {
  Payload header;
  header.U16(type);
  header.U16(version);
  header.U32(index);
  header.U32(declaredLength);
  bytes.insert(bytes.end(), header.bytes.begin(), header.bytes.end());
  bytes.insert(bytes.end(), payload.begin(), payload.end());
}

void SceneWriter::Raw(std::uint16_t type, std::uint16_t version, std::uint32_t index,
                      const std::vector<std::uint8_t>& payload) {
  RawWithLength(type, version, index, static_cast<std::uint32_t>(payload.size()), payload);
}

void SceneWriter::Ambient(std::uint32_t argb, std::uint32_t index) {
  Payload p;
  p.U32(argb);
  Raw(ChunkType::Ambient, 1, index, p.bytes);
}

void SceneWriter::Add(const GroupChunk& c) {
  Payload p;
  p.Node(c.node, c.version > 1);
  Raw(ChunkType::Group, c.version, c.index, p.bytes);
}

void SceneWriter::Add(const CameraChunk& c) {
  Payload p;
  p.Node(c.node, c.version > 2);
  p.F32(c.fov);
  p.F32(c.nearClip);
  p.F32(c.farClip);
  if (c.version >= 2) {
    p.U32(static_cast<std::uint32_t>(c.switchTimes.size()));
    if (!c.switchTimes.empty()) {
      for (std::uint32_t t : c.switchTimes) p.U32(t);
      p.U32(c.animStart);
      p.U32(c.animEnd);
    }
  }
  Raw(ChunkType::Camera, c.version, c.index, p.bytes);
}

void SceneWriter::Add(const LightChunk& c) {
  Payload p;
  p.Node(c.node, c.version > 1);
  p.U8(c.type);
  p.U32(c.color);
  p.F32(c.intensity);
  p.F32(c.attenuation0);
  p.F32(c.attenuation1);
  p.F32(c.attenuation2);
  p.F32(c.range);
  p.F32(c.thetaDegrees);
  p.F32(c.phiDegrees);
  p.U8(c.castsShadows);
  p.U32(c.shadowColor);
  Raw(ChunkType::Light, c.version, c.index, p.bytes);
}

void SceneWriter::Add(const MeshChunk& c) {
  Payload p;
  p.U32(c.node);
  p.String(c.name);
  p.U32(c.vertexBuffer);
  p.U32(c.indexBuffer);
  p.U16(static_cast<std::uint16_t>(c.subMeshes.size()));
  for (const SubMeshRecord& s : c.subMeshes) {
    p.U32(s.startIndex);
    p.U32(s.material);
    p.U32(s.unused);
    p.U32(s.indexCount);
    p.U8(s.ignored);
  }
  Raw(ChunkType::Mesh, 1, c.index, p.bytes);
}

void SceneWriter::Add(const VertexBufferChunk& c) {
  Payload p;
  p.U32(c.noFrames ? 0u : static_cast<std::uint32_t>(1 + c.extraFrames.size()));
  p.U32(c.componentFlags);
  p.U16(0);
  p.U32(static_cast<std::uint32_t>(c.vertices.size()));
  if (c.noFrames) {
    Raw(ChunkType::VertexBuffer, 1, c.index, p.bytes);
    return;
  }
  std::size_t floats = 3 + (c.componentFlags & kVertexNormal ? 3 : 0) + (c.componentFlags & kVertexUv0 ? 2 : 0) +
                       (c.componentFlags & kVertexUv1 ? 2 : 0);
  p.Reserve(c.vertices.size() * (floats + 3 * c.extraFrames.size()) * 4);
  for (const Vertex& v : c.vertices) {
    p.Floats(v.position);
    if (c.componentFlags & kVertexNormal) p.Floats(v.normal);
    if (c.componentFlags & kVertexUv0) p.Floats(v.uv0);
    if (c.componentFlags & kVertexUv1) p.Floats(v.uv1);
  }
  for (const auto& frame : c.extraFrames)
    for (const auto& position : frame) p.Floats(position);
  Raw(ChunkType::VertexBuffer, 1, c.index, p.bytes);
}

void SceneWriter::Add(const IndexBufferChunk& c) {
  Payload p;
  p.U32(static_cast<std::uint32_t>(c.indices.size()));
  p.Reserve(c.indices.size() * 4);
  for (std::uint32_t i : c.indices) p.U32(i);
  Raw(ChunkType::IndexBuffer, 1, c.index, p.bytes);
}

void SceneWriter::Add(const MaterialChunk& c) {
  Payload p;
  p.U32(c.diffuse);
  p.U32(c.specular);
  p.U32(c.ambient);
  p.U32(c.emissive);
  p.F32(c.power);
  p.F32(c.specularLevel);
  p.U8(c.blendMode);
  p.F32(c.opacity);
  p.U32(c.diffuseMap);
  p.U32(c.sphereMap);
  p.U32(c.lightMap);
  p.U32(c.specularMap);
  if (c.version >= 2) p.U32(c.addMap);
  Raw(ChunkType::Material, c.version, c.index, p.bytes);
}

void SceneWriter::Add(const TextureChunk& c) {
  Payload p;
  p.String(c.fileName);
  Raw(ChunkType::Texture, 1, c.index, p.bytes);
}

void SceneWriter::Add(const PRSControllerChunk& c) {
  Payload p;
  p.U32(c.node);
  p.Times(c.times);
  p.U32(c.keyFlags);
  p.U32(static_cast<std::uint32_t>(c.keys.size()));
  for (const PRSKey& k : c.keys) {
    if (c.keyFlags & kKeyPosition) p.Floats(k.position);
    if (c.keyFlags & kKeyRotation) p.Floats(k.rotation);
    if (c.keyFlags & kKeyScale) p.Floats(k.scale);
  }
  Raw(ChunkType::PRSController, 1, c.index, p.bytes);
}

void SceneWriter::Add(const VertexControllerChunk& c) {
  Payload p;
  p.U32(c.vertexBuffer);
  p.Times(c.times);
  Raw(ChunkType::VertexController, 1, c.index, p.bytes);
}

void SceneWriter::Add(const SampleFloatControllerChunk& c) {
  Payload p;
  p.U32(c.target);
  p.String(c.field);
  p.Times(c.times);
  p.U32(static_cast<std::uint32_t>(c.samples.size()));
  for (float s : c.samples) p.F32(s);
  Raw(ChunkType::SampleFloatController, 1, c.index, p.bytes);
}

void SceneWriter::Add(const SpriteChunk& c) {
  Payload p;
  p.U32(c.node);
  p.U32(c.texture);
  p.F32(c.size);
  p.U8(c.skipInGlowPass);
  Raw(ChunkType::Sprite, 1, c.index, p.bytes);
}

bool SceneWriter::Save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace scenefile
