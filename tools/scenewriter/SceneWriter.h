// Writes scene files from plain records, one per chunk type, for tests and the
// content tools. Records hold exactly what the file holds; the writer does not
// check that references make sense, so tests can write damaged scenes too.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/loading/SceneFileFormat.h"

namespace scenefile {

struct NodeHeader {
  std::int32_t parent = -1;  // file index of the parent node
  std::string name;
  std::array<float, 3> position{0, 0, 0};
  std::array<float, 4> rotation{0, 0, 0, 1};  // quaternion x, y, z, w
  std::array<float, 3> scale{1, 1, 1};
  std::string properties;
  std::uint8_t shadowFlag1 = 0;
  std::uint8_t shadowFlag2 = 0;
  float visibility = 1.0f;  // written only above the type's version threshold
};

struct GroupChunk {
  std::uint32_t index = 0;
  std::uint16_t version = 2;  // above 1: with visibility
  NodeHeader node;
};

struct CameraChunk {
  std::uint32_t index = 0;
  std::uint16_t version = 3;  // above 2: visibility; 2 and above: activation list
  NodeHeader node;
  float fov = 0.785398f;
  float nearClip = 1.0f;
  float farClip = 1000.0f;
  std::vector<std::uint32_t> switchTimes;  // the list's times (ms)
  std::uint32_t animStart = 0, animEnd = 0;  // written when switchTimes is not empty
};

struct LightChunk {
  std::uint32_t index = 0;
  std::uint16_t version = 2;  // above 1: with visibility
  NodeHeader node;
  std::uint8_t type = 3;  // 1 point, 2 spot, 3 directional
  std::uint32_t color = 0xFFFFFFFF;  // ARGB
  float intensity = 1.0f;
  float attenuation0 = 1.0f, attenuation1 = 0, attenuation2 = 0;
  float range = 1000.0f;
  float thetaDegrees = 30.0f, phiDegrees = 45.0f;
  std::uint8_t castsShadows = 0;
  std::uint32_t shadowColor = 0;
};

struct SubMeshRecord {
  std::uint32_t startIndex = 0;
  std::uint32_t material = kNone;
  std::uint32_t unused = 0;
  std::uint32_t indexCount = 0;
  std::uint8_t ignored = 0;
};

struct MeshChunk {
  std::uint32_t index = 0;
  std::uint32_t node = 0;
  std::string name;
  std::uint32_t vertexBuffer = 0;
  std::uint32_t indexBuffer = 0;
  std::vector<SubMeshRecord> subMeshes;
};

struct Vertex {
  std::array<float, 3> position{0, 0, 0};
  std::array<float, 3> normal{0, 0, 0};
  std::array<float, 2> uv0{0, 0};
  std::array<float, 2> uv1{0, 0};
};

struct VertexBufferChunk {
  std::uint32_t index = 0;
  std::uint32_t componentFlags = kVertexNormal | kVertexUv0 | kVertexUv1;
  std::vector<Vertex> vertices;  // frame 0
  // Frames 1.. (positions only); the frame count written is 1 + extraFrames.size().
  std::vector<std::vector<std::array<float, 3>>> extraFrames;
  // Frame count 0: only the vertex count of `vertices` is written, no frame blocks.
  bool noFrames = false;
};

struct IndexBufferChunk {
  std::uint32_t index = 0;
  std::vector<std::uint32_t> indices;
};

struct MaterialChunk {
  std::uint32_t index = 0;
  std::uint16_t version = 2;  // 2 and above: with the add map
  std::uint32_t diffuse = 0xFFFFFFFF, specular = 0xFF000000, ambient = 0xFF000000;
  std::uint32_t emissive = 0xFF000000;  // ARGB; red is the self-illumination
  float power = 0, specularLevel = 0;
  std::uint8_t blendMode = 0;
  float opacity = 1.0f;
  std::uint32_t diffuseMap = kNone, sphereMap = kNone, lightMap = kNone, specularMap = kNone;
  std::uint32_t addMap = kNone;
};

struct TextureChunk {
  std::uint32_t index = 0;
  std::string fileName;
};

struct PRSKey {
  std::array<float, 3> position{0, 0, 0};
  std::array<float, 4> rotation{0, 0, 0, 1};
  std::array<float, 3> scale{1, 1, 1};
};

struct PRSControllerChunk {
  std::uint32_t index = 0;
  std::uint32_t node = 0;
  std::array<std::uint32_t, 4> times{0, 0, 0, 0};  // animStart, animEnd, keyStart, keyEnd
  std::uint32_t keyFlags = kKeyPosition | kKeyRotation | kKeyScale;
  std::vector<PRSKey> keys;      // only the flagged parts are written
};

struct VertexControllerChunk {
  std::uint32_t index = 0;
  std::uint32_t vertexBuffer = 0;
  std::array<std::uint32_t, 4> times{0, 0, 0, 0};
};

struct SampleFloatControllerChunk {
  std::uint32_t index = 0;
  std::uint32_t target = 0;
  std::string field;
  std::array<std::uint32_t, 4> times{0, 0, 0, 0};
  std::vector<float> samples;
};

struct SpriteChunk {
  std::uint32_t index = 0;
  std::uint32_t node = 0;
  std::uint32_t texture = kNone;
  float size = 1.0f;
  std::uint8_t skipInGlowPass = 0;
};

class SceneWriter {
 public:
  void Ambient(std::uint32_t argb, std::uint32_t index = 0);
  void Add(const GroupChunk& chunk);
  void Add(const CameraChunk& chunk);
  void Add(const LightChunk& chunk);
  void Add(const MeshChunk& chunk);
  void Add(const VertexBufferChunk& chunk);
  void Add(const IndexBufferChunk& chunk);
  void Add(const MaterialChunk& chunk);
  void Add(const TextureChunk& chunk);
  void Add(const PRSControllerChunk& chunk);
  void Add(const VertexControllerChunk& chunk);
  void Add(const SampleFloatControllerChunk& chunk);
  void Add(const SpriteChunk& chunk);
  // Any chunk, payload as given (unknown types, lying lengths, extra bytes).
  void Raw(std::uint16_t type, std::uint16_t version, std::uint32_t index,
           const std::vector<std::uint8_t>& payload);
  void RawWithLength(std::uint16_t type, std::uint16_t version, std::uint32_t index,
                     std::uint32_t declaredLength, const std::vector<std::uint8_t>& payload);
  void Raw(ChunkType type, std::uint16_t version, std::uint32_t index,
           const std::vector<std::uint8_t>& payload) {
    Raw(Code(type), version, index, payload);
  }
  void RawWithLength(ChunkType type, std::uint16_t version, std::uint32_t index,
                     std::uint32_t declaredLength, const std::vector<std::uint8_t>& payload) {
    RawWithLength(Code(type), version, index, declaredLength, payload);
  }

  // Makes room for `more` bytes of chunks about to be added, so a large file is not
  // copied (and its memory touched afresh) each time it outgrows its buffer.
  void Reserve(std::size_t more) {
    if (bytes.size() + more > bytes.capacity()) bytes.reserve(std::max(bytes.size() + more, 2 * bytes.capacity()));
  }
  const std::vector<std::uint8_t>& Bytes() const { return bytes; }
  // Writes the file; false when it cannot be written whole.
  bool Save(const std::string& path) const;

 private:
  std::vector<std::uint8_t> bytes;
};

}  // namespace scenefile
