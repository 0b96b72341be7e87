// Reads a scene file back into plain records for the importer's tests, checking
// that every chunk is whole and every field lies inside its chunk.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ReadNode {
  std::uint16_t type = 0, version = 0;
  std::uint32_t index = 0;
  std::int32_t parent = -1;
  std::string name;
  std::array<float, 3> position{}, scale{};
  std::array<float, 4> rotation{};
  float fov = 0, nearClip = 0, farClip = 0;  // cameras
  std::uint8_t lightType = 0;                 // lights
  std::uint32_t color = 0;
  float intensity = 0, attenuation[3] = {0, 0, 0}, range = 0, theta = 0, phi = 0;
};

struct ReadSubMesh {
  std::uint32_t startIndex = 0, material = 0, indexCount = 0;
};

struct ReadMesh {
  std::uint32_t index = 0, node = 0, vertexBuffer = 0, indexBuffer = 0;
  std::vector<ReadSubMesh> subMeshes;
};

struct ReadVertex {
  std::array<float, 3> position{};
  std::array<float, 2> uv0{}, uv1{};
};

struct ReadVertexBuffer {
  std::uint32_t index = 0, frames = 0, flags = 0;
  std::vector<ReadVertex> vertices;
  std::vector<std::vector<std::array<float, 3>>> extraFrames;
};

struct ReadMaterial {
  std::uint32_t index = 0, diffuse = 0, specular = 0, ambient = 0, emissive = 0;
  float power = 0, level = 0, opacity = 0;
  std::uint8_t blendMode = 0;
  std::uint32_t diffuseMap = 0, sphereMap = 0, lightMap = 0, specularMap = 0, addMap = 0;
};

struct ReadKey {
  std::array<float, 3> position{}, scale{};
  std::array<float, 4> rotation{};
};

struct ReadPRS {
  std::uint32_t index = 0, node = 0, flags = 0;
  std::array<std::uint32_t, 4> times{};  // animStart, animEnd, keyStart, keyEnd
  std::vector<ReadKey> keys;             // only the flagged parts are filled
};

struct ReadVertexController {
  std::uint32_t index = 0, vertexBuffer = 0;
  std::array<std::uint32_t, 4> times{};
};

struct SceneFile {
  bool valid = false;
  std::string problem;
  std::vector<std::uint32_t> ambient;
  std::vector<ReadNode> nodes;  // groups, cameras and lights in file order
  std::vector<ReadMesh> meshes;
  std::map<std::uint32_t, ReadVertexBuffer> vertexBuffers;
  std::map<std::uint32_t, std::vector<std::uint32_t>> indexBuffers;
  std::vector<ReadMaterial> materials;
  std::map<std::uint32_t, std::string> textures;
  std::vector<ReadPRS> controllers;
  std::vector<ReadVertexController> vertexControllers;

  const ReadNode* Node(const std::string& name) const;
  const ReadNode* NodeByIndex(std::uint32_t index) const;
  const ReadMaterial* Material(std::uint32_t index) const;
  std::vector<const ReadMesh*> MeshesOf(std::uint32_t nodeIndex) const;
};

SceneFile ReadSceneFile(const std::string& path);
