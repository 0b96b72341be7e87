#include "scene/loading/PSKSceneLoader.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unordered_map>
#include <vector>

#include "scene/AnimatedTexture.h"
#include "scene/Camera.h"
#include "scene/Group.h"
#include "scene/IndexBuffer.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/SceneFatal.h"
#include "scene/SceneGraph.h"
#include "scene/StateCache.h"
#include "scene/SubMesh.h"
#include "scene/Texture.h"
#include "scene/VertexBuffer.h"
#include "scene/loading/SceneFileFormat.h"

namespace {

using scenefile::ChunkType;

constexpr int kMaxNesting = 32;
constexpr std::size_t kChunkHeaderBytes = 12;
constexpr std::size_t kSubMeshRecordBytes = 17;
// Counts with no bytes behind them to bound them: frames of a buffer without
// vertices, and the zeroed vertices of a buffer without frames.
constexpr std::uint32_t kMaxEmptyFrames = 65536;
constexpr std::uint32_t kMaxUnbackedVertices = 1u << 20;

// `count` little-endian floats from unaligned bytes.
void ReadFloats(const std::uint8_t* bytes, float* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    out[i] = LoadLittle<float>(bytes + 4 * i);
}

// Visibility clamped to 0..1; a NaN counts as hidden.
float ClampVisibility(float value) {
  if (!(value >= 0.0f)) return 0.0f;
  return value > 1.0f ? 1.0f : value;
}

// The design's float-to-unsigned conversion, without undefined behaviour for
// values outside the 32-bit range (they wrap, as a 64-bit truncation would).
std::uint32_t TruncateTime(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2e18f) return 0;
  if (value <= -9.2e18f) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(value));
}

}  // namespace

PSKSceneLoader::PSKSceneLoader(std::int32_t id, SceneGraph* graph, const PSKSceneLoader* enclosing)
    : SceneLoader(id, graph), enclosing(enclosing), depth(enclosing ? enclosing->depth + 1 : 0) {}

std::string PSKSceneLoader::FileLabel() const {
  return fileName && *fileName ? fileName : "(scene in memory)";
}

void PSKSceneLoader::FailFile(const std::string& what) const {
  SceneFatal("Damaged scene file " + FileLabel() + ": " + what);
}

std::int32_t PSKSceneLoader::MapIndex(std::uint32_t fileIndex) {
  auto found = indexMap.find(fileIndex);
  if (found != indexMap.end()) return found->second;
  const std::int32_t id = graph->NextId();
  indexMap.emplace(fileIndex, id);
  return id;
}

std::uint32_t PSKSceneLoader::ReadTime(ChunkReader& reader, const char* field) {
  const std::uint32_t t = reader.U32(field);
  return TruncateTime(static_cast<float>(t) * timeScale + timeOffset);
}

void PSKSceneLoader::LoadMemory(const std::uint8_t* bytes, std::size_t length,
                                std::int32_t parent, float offset, float scale, bool loop) {
  parentId = parent;
  timeOffset = offset;
  timeScale = scale;
  looping = loop;

  std::size_t position = 0;
  for (std::uint32_t chunk = 0; position < length; ++chunk) {
    const std::size_t left = length - position;
    if (left < kChunkHeaderBytes)
      FailFile("chunk " + std::to_string(chunk) + " at byte " + std::to_string(position) +
               " has a header of " + std::to_string(left) + " bytes (12 needed)");
    const std::uint8_t* header = bytes + position;
    LittleEndianReader fields(header, kChunkHeaderBytes);
    const std::uint16_t type = fields.U16();
    const std::uint16_t version = fields.U16();
    const std::uint32_t index = fields.U32();
    const std::uint32_t payloadLength = fields.U32();
    if (payloadLength > left - kChunkHeaderBytes)
      FailFile("chunk " + std::to_string(chunk) + " (type " + std::to_string(type) +
               ") at byte " + std::to_string(position) + " declares " +
               std::to_string(payloadLength) + " payload bytes, but only " +
               std::to_string(left - kChunkHeaderBytes) + " are left in the file");
    ChunkReader reader(header + kChunkHeaderBytes, payloadLength,
                       FileLabel() + ", chunk " + std::to_string(chunk) + " (type " +
                           std::to_string(type) + ") at byte " + std::to_string(position));
    ReadChunk(type, version, index, reader);
    position += kChunkHeaderBytes + payloadLength;
  }
  if (!enclosing) CheckParentCycles();
}

void PSKSceneLoader::ReadChunk(std::uint16_t type, std::uint16_t version, std::uint32_t index,
                               ChunkReader& reader) {
  switch (static_cast<ChunkType>(type)) {
    case ChunkType::Ambient: ReadAmbient(reader); break;
    case ChunkType::Group: ReadGroup(version, index, reader); break;
    case ChunkType::Mesh: ReadMesh(index, reader); break;
    case ChunkType::Camera: ReadCamera(version, index, reader); break;
    case ChunkType::Light: ReadLight(version, index, reader); break;
    case ChunkType::VertexBuffer: ReadVertexBuffer(index, reader); break;
    case ChunkType::IndexBuffer: ReadIndexBuffer(index, reader); break;
    case ChunkType::Material: ReadMaterial(version, index, reader); break;
    case ChunkType::Texture: ReadTexture(index, reader); break;
    case ChunkType::PRSController: ReadPRSController(reader); break;
    case ChunkType::VertexController: ReadVertexController(reader); break;
    case ChunkType::SampleFloatController: ReadSampleFloatController(reader); break;
    case ChunkType::Sprite: ReadSprite(index, reader); break;
    default: SceneFatal("Unknown chunk in file!");
  }
}

void PSKSceneLoader::ReadNodeHeader(Group& node, std::uint16_t version, std::uint16_t threshold,
                                    ChunkReader& reader) {
  const std::int32_t parent = reader.I32("parent");
  if (parent == -1) {
    node.parent.Set(parentId);
    if (parentId == -1) graph->root = &node;
  } else {
    node.parent.Set(MapIndex(static_cast<std::uint32_t>(parent)));
  }

  node.name = reader.String("name");
  Transform& t = node.transform;
  float values[10];
  for (float& value : values) value = reader.F32("transform");
  t.position = D3DXVECTOR3(values[0], values[1], values[2]);
  t.rotation = D3DXQUATERNION(values[3], values[4], values[5], values[6]);
  t.scale = D3DXVECTOR3(values[7], values[8], values[9]);
  node.userText = reader.String("properties");
  node.properties.Parse(node.userText);

  node.LoadAnimations(graph, node.properties, timeOffset, timeScale);

  node.shadowFlag1 = reader.U8("shadow flag 1") != 0;
  node.shadowFlag2 = reader.U8("shadow flag 2") != 0;
  if (version > threshold) node.visibility = ClampVisibility(reader.F32("visibility"));

  if (node.properties.Has("loader")) LoadNested(node);
  if (node.properties.Has("skybox")) {
    graph->skybox = &node;
    node.parent.Set(-1);
  }
}

void PSKSceneLoader::LoadNested(Group& node) {
  const std::string nestedName = node.properties.GetString("filename").value_or("");
  if (depth + 1 > kMaxNesting)
    FailFile("node '" + node.name + "' loads " + nestedName + " more than " +
             std::to_string(kMaxNesting) + " scene files deep");
  for (const PSKSceneLoader* outer = this; outer; outer = outer->enclosing)
    if (nestedName == outer->fileName)
      FailFile("node '" + node.name + "' loads " + nestedName +
               ", which is already being loaded around it");
  float scale = node.properties.GetFloat("animscale");
  if (scale == 0.0f) scale = 1.0f;
  const float nestedOffset = node.properties.GetFloat("animoffset") + timeOffset;
  const bool nestedLooping = node.properties.GetInt("looping") != 0;
  PSKSceneLoader* nested = graph->Create<PSKSceneLoader>(graph->NextId(), this);
  nested->LoadFile(nestedName.c_str(), node.id, nestedOffset, scale * timeScale, nestedLooping);
}

void PSKSceneLoader::CheckParentCycles() const {
  std::vector<Group*> nodes;
  std::unordered_map<std::int32_t, Group*> byId;
  for (const auto& object : graph->objects) {
    if (auto* node = dynamic_cast<Group*>(object.get())) {
      nodes.push_back(node);
      byId.emplace(node->id, node);
    }
  }
  // As linking will read them; a parent that is no node is refused there.
  const Group* looped = Group::FindAncestorCycle(nodes, [&byId](const Group& node) -> Group* {
    if (!Group::HasParentId(node.parent.id)) return nullptr;
    auto found = byId.find(node.parent.id);
    return found == byId.end() ? nullptr : found->second;
  });
  if (looped)
    SceneFatal("Damaged scene file " + FileLabel() + ": node '" + looped->name + "' (scene id " +
               std::to_string(looped->id) + ") is among its own parents");
}

void PSKSceneLoader::ReadAmbient(ChunkReader& reader) { graph->ambient = reader.Colour("colour"); }

void PSKSceneLoader::ReadGroup(std::uint16_t version, std::uint32_t index, ChunkReader& reader) {
  Group* group = graph->Create<Group>(MapIndex(index));
  ReadNodeHeader(*group, version, 1, reader);
}

void PSKSceneLoader::ReadMesh(std::uint32_t index, ChunkReader& reader) {
  const std::int32_t id = MapIndex(index);
  Group& node = LookUp<Group>(reader, reader.U32("node"), "the mesh's node");
  Mesh* mesh = graph->Create<Mesh>(id);
  mesh->group = &node;
  node.mesh = mesh;
  if (node.shadowFlag1) cache->hasShadowFlag1 = 1;
  if (node.shadowFlag2) cache->hasShadowFlag2 = 1;
  reader.String("name");
  mesh->vertexBuffer.Set(MapIndex(reader.U32("vertex buffer")));
  mesh->indexBuffer.Set(MapIndex(reader.U32("index buffer")));
  const std::uint16_t count = reader.U16("sub-mesh count");
  reader.Need(static_cast<std::size_t>(count) * kSubMeshRecordBytes, "sub-meshes");
  mesh->subMeshes.reserve(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    SubMesh* sub = graph->Create<SubMesh>(graph->NextId());
    sub->mesh = mesh;
    sub->startIndex = reader.U32("sub-mesh start index");
    sub->material.Set(MapIndex(reader.U32("sub-mesh material")));
    reader.U32("sub-mesh unused field");
    sub->indexCount = reader.U32("sub-mesh index count");
    reader.U8("sub-mesh ignored byte");
    mesh->subMeshes.push_back(sub);
  }
}

void PSKSceneLoader::ReadCamera(std::uint16_t version, std::uint32_t index, ChunkReader& reader) {
  Camera* camera = graph->Create<Camera>(MapIndex(index));
  ReadNodeHeader(*camera, version, 2, reader);
  camera->fov = reader.F32("field of view");
  camera->nearClip = reader.F32("near clip");
  camera->farClip = reader.F32("far clip");
  if (camera->nearClip < 0.00001f) camera->nearClip = camera->farClip * 0.00001f;
  camera->aspect = 1.3333334f;
  if (version >= 2) ReadCameraActivation(*camera, reader);
}

void PSKSceneLoader::ReadLight(std::uint16_t version, std::uint32_t index, ChunkReader& reader) {
  Light* light = graph->Create<Light>(MapIndex(index));
  ReadNodeHeader(*light, version, 1, reader);
  // Any type loads; the device decides what it makes of one it does not know.
  light->deviceLight.Type = static_cast<D3DLIGHTTYPE>(reader.U8("light type"));
  light->color = reader.Colour("colour");
  light->intensity = reader.F32("intensity");
  light->deviceLight.Attenuation0 = reader.F32("attenuation 0");
  light->deviceLight.Attenuation1 = reader.F32("attenuation 1");
  light->deviceLight.Attenuation2 = reader.F32("attenuation 2");
  light->deviceLight.Range = reader.F32("range");
  light->thetaDegrees = reader.F32("theta");
  light->phiDegrees = reader.F32("phi");
  light->castsShadows = reader.U8("casts shadows") != 0;
  light->shadowColor = reader.Colour("shadow colour");
  if (light->castsShadows) cache->hasShadowLight = 1;
}

void PSKSceneLoader::ReadVertexBuffer(std::uint32_t index, ChunkReader& reader) {
  const std::int32_t id = MapIndex(index);
  const std::uint32_t frameCount = reader.U32("frame count");
  const std::uint32_t flags = reader.U32("component flags");
  reader.Skip(2, "unused bytes");
  const std::uint32_t vertexCount = reader.U32("vertex count");
  const bool normals = flags & scenefile::kVertexNormal;
  const bool uv0 = flags & scenefile::kVertexUv0;
  const bool uv1 = flags & scenefile::kVertexUv1;
  if (frameCount == 0) {
    // No frame blocks follow: the vertices stay zeroed and there are no frames.
    if (vertexCount > kMaxUnbackedVertices)
      reader.Fail("vertex count of " + std::to_string(vertexCount) +
                  " without any frame is more than " + std::to_string(kMaxUnbackedVertices));
    graph->Create<MultiVertexBuffer>(id, vertexCount);
    return;
  }
  const std::size_t firstBytes = 12 + (normals ? 12 : 0) + (uv0 ? 8 : 0) + (uv1 ? 8 : 0);
  if (vertexCount > reader.Remaining() / firstBytes)
    reader.Fail("vertex count of " + std::to_string(vertexCount) + " cannot fit in the " +
                std::to_string(reader.Remaining()) + " bytes left in the chunk");
  const std::size_t firstBlock = firstBytes * vertexCount;
  const std::size_t frameBytes = std::size_t{12} * vertexCount;
  const std::size_t extraFrames = frameCount - 1;
  if (vertexCount == 0 ? frameCount > kMaxEmptyFrames
                       : extraFrames > (reader.Remaining() - firstBlock) / frameBytes)
    reader.Fail("frame count of " + std::to_string(frameCount) + " with " +
                std::to_string(vertexCount) + " vertices cannot fit in the " +
                std::to_string(reader.Remaining()) + " bytes left in the chunk");

  VertexBuffer* buffer = frameCount == 1
                             ? graph->Create<VertexBuffer>(id, vertexCount)
                             : graph->Create<MultiVertexBuffer>(id, vertexCount);
  const std::uint8_t* block = reader.Take(firstBlock, "vertices");
  for (SceneVertex& vertex : buffer->vertices) {
    ReadFloats(block, vertex.position, 3);
    block += 12;
    if (normals) {
      ReadFloats(block, vertex.normal, 3);
      block += 12;
    }
    if (uv0) {
      ReadFloats(block, vertex.uv0, 2);
      block += 8;
    }
    if (uv1) {
      ReadFloats(block, vertex.uv1, 2);
      block += 8;
    }
  }
  if (frameCount == 1) return;
  auto& frames = static_cast<MultiVertexBuffer*>(buffer)->frames;
  frames.resize(frameCount);
  if (vertexCount == 0) return;  // every frame is empty
  MultiVertexBuffer::Frame& first = frames[0];
  first.resize(vertexCount);
  for (std::uint32_t v = 0; v < vertexCount; ++v)
    std::memcpy(first[v].data(), buffer->vertices[v].position, 12);
  for (std::size_t f = 1; f < frameCount; ++f) {
    frames[f].resize(vertexCount);
    ReadFloats(reader.Take(frameBytes, "position frame"), frames[f].data()->data(),
               std::size_t{3} * vertexCount);
  }
}

void PSKSceneLoader::ReadIndexBuffer(std::uint32_t index, ChunkReader& reader) {
  IndexBuffer* buffer = graph->Create<IndexBuffer>(MapIndex(index));
  const std::uint32_t count = reader.Count(4, "index count");
  const std::uint8_t* bytes = reader.Take(std::size_t{4} * count, "indices");
  buffer->indices.resize(count);
  // Only the low 16 bits of each index are kept.
  for (std::uint32_t i = 0; i < count; ++i) buffer->indices[i] = LoadLittle<std::uint16_t>(bytes + 4 * i);
  buffer->triangleCount = count / 3;
}

void PSKSceneLoader::ReadMaterial(std::uint16_t version, std::uint32_t index,
                                  ChunkReader& reader) {
  Material* material = graph->Create<Material>(MapIndex(index));
  material->diffuseColor = reader.Colour("diffuse colour");
  material->specularColor = reader.Colour("specular colour");
  material->ambientColor = reader.Colour("ambient colour");
  material->deviceMaterial.Emissive = reader.Colour("emissive colour");
  material->selfIllum = material->deviceMaterial.Emissive.r;
  material->power = reader.F32("power");
  material->specularLevel = reader.F32("specular level");
  material->blendMode = static_cast<BlendMode>(reader.U8("blend mode"));
  material->opacity = reader.F32("opacity");
  material->diffuseMap.Set(MapIndex(reader.U32("diffuse map")));
  material->sphereMap.Set(MapIndex(reader.U32("sphere map")));
  material->lightMap.Set(MapIndex(reader.U32("light map")));
  material->specularMap.Set(MapIndex(reader.U32("specular map")));
  if (version >= 2) material->addMap.Set(MapIndex(reader.U32("add map")));
}

void PSKSceneLoader::ReadTexture(std::uint32_t index, ChunkReader& reader) {
  const std::int32_t id = MapIndex(index);
  const std::string name = reader.String("file name");
  // The description of an animated texture lies beside it on disk, never in the archive.
  std::error_code error;
  const std::string sequenceName =
      name.size() >= 3 ? name.substr(0, name.size() - 3) + "seq" : std::string();
  if (!sequenceName.empty() && std::filesystem::is_regular_file(sequenceName, error)) {
    std::ifstream in(sequenceName, std::ios::binary);
    if (in) {
      const std::uintmax_t size = std::filesystem::file_size(sequenceName, error);
      if (error) SceneFatal("Error reading sequence file to memory!");
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
      in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
      if (static_cast<std::uintmax_t>(in.gcount()) < size)
        SceneFatal("Error reading sequence file to memory!");
      AnimatedTexture* texture = graph->Create<AnimatedTexture>(id);
      texture->name = name;
      texture->LoadDescription(bytes.data(), bytes.size(), timeScale, timeOffset);
      return;
    }
  }
  Texture* texture = graph->Create<Texture>(id);
  texture->load(name);
  texture->name = name;
}
