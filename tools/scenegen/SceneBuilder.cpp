#include "tools/scenegen/SceneBuilder.h"

scenefile::NodeHeader SceneBuilder::Header(const std::string& name, std::uint32_t parent,
                                           Vec3 position, std::array<float, 4> rotation,
                                           Vec3 scale, const std::string& properties) {
  scenefile::NodeHeader node;
  node.parent = parent == scenefile::kNone ? -1 : static_cast<std::int32_t>(parent);
  node.name = name;
  node.position = position;
  node.rotation = rotation;
  node.scale = scale;
  node.properties = properties;
  return node;
}

std::uint32_t SceneBuilder::Group(const std::string& name, std::uint32_t parent, Vec3 position,
                                  std::array<float, 4> rotation, Vec3 scale,
                                  const std::string& properties) {
  scenefile::GroupChunk chunk;
  chunk.index = NewIndex();
  chunk.node = Header(name, parent, position, rotation, scale, properties);
  writer.Add(chunk);
  names[name] = chunk.index;
  return chunk.index;
}

std::uint32_t SceneBuilder::Camera(const std::string& name, std::uint32_t parent, Vec3 position,
                                   std::array<float, 4> rotation, float fov, float nearClip,
                                   float farClip) {
  scenefile::CameraChunk chunk;
  chunk.index = NewIndex();
  chunk.node = Header(name, parent, position, rotation, {1, 1, 1}, "");
  chunk.fov = fov;
  chunk.nearClip = nearClip;
  chunk.farClip = farClip;
  writer.Add(chunk);
  names[name] = chunk.index;
  return chunk.index;
}

std::uint32_t SceneBuilder::Light(const std::string& name, std::uint32_t parent, Vec3 position,
                                  std::array<float, 4> rotation, scenefile::LightChunk light) {
  light.index = NewIndex();
  light.node = Header(name, parent, position, rotation, {1, 1, 1}, "");
  writer.Add(light);
  names[name] = light.index;
  return light.index;
}

std::uint32_t SceneBuilder::Texture(const std::string& fileName) {
  auto known = names.find(fileName);
  if (known != names.end()) return known->second;
  scenefile::TextureChunk chunk;
  chunk.index = NewIndex();
  chunk.fileName = fileName;
  writer.Add(chunk);
  names[fileName] = chunk.index;
  return chunk.index;
}

std::uint32_t SceneBuilder::Material(const std::string& name, scenefile::MaterialChunk material) {
  material.index = NewIndex();
  writer.Add(material);
  names[name] = material.index;
  return material.index;
}

std::uint32_t SceneBuilder::MeshNode(const std::string& name, std::uint32_t parent, Vec3 position,
                                     const MeshData& mesh, std::uint32_t material,
                                     std::array<float, 4> rotation, Vec3 scale) {
  const std::uint32_t node = Group(name, parent, position, rotation, scale);
  scenefile::VertexBufferChunk vertices;
  vertices.index = NewIndex();
  vertices.vertices = mesh.vertices;
  writer.Add(vertices);
  scenefile::IndexBufferChunk indices;
  indices.index = NewIndex();
  indices.indices = mesh.indices;
  writer.Add(indices);
  scenefile::MeshChunk chunk;
  chunk.index = NewIndex();
  chunk.node = node;
  chunk.name = name;
  chunk.vertexBuffer = vertices.index;
  chunk.indexBuffer = indices.index;
  scenefile::SubMeshRecord sub;
  sub.material = material;
  sub.indexCount = static_cast<std::uint32_t>(mesh.indices.size());
  chunk.subMeshes.push_back(sub);
  writer.Add(chunk);
  names[name + "/mesh"] = chunk.index;
  names[name + "/vertices"] = vertices.index;
  return node;
}

std::uint32_t SceneBuilder::Find(const std::string& name) const {
  auto found = names.find(name);
  return found == names.end() ? scenefile::kNone : found->second;
}
