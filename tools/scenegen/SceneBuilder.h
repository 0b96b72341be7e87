// Builds one scene file from named parts: hands out file indices in order, keeps
// the indices of what it added by name (so later parts, such as animations, can
// refer to earlier ones), and writes meshes as node, buffers and mesh chunks.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "tools/scenegen/Geometry.h"
#include "tools/scenewriter/SceneWriter.h"

class SceneBuilder {
 public:
  std::uint32_t NewIndex() { return nextIndex++; }

  // A node under `parent` (kNone: the file's top level), registered by name.
  std::uint32_t Group(const std::string& name, std::uint32_t parent, Vec3 position,
                      std::array<float, 4> rotation = {0, 0, 0, 1}, Vec3 scale = {1, 1, 1},
                      const std::string& properties = "");
  std::uint32_t Camera(const std::string& name, std::uint32_t parent, Vec3 position,
                       std::array<float, 4> rotation, float fov, float nearClip, float farClip);
  std::uint32_t Light(const std::string& name, std::uint32_t parent, Vec3 position,
                      std::array<float, 4> rotation, scenefile::LightChunk light);
  std::uint32_t Texture(const std::string& fileName);
  std::uint32_t Material(const std::string& name, scenefile::MaterialChunk material);
  // A node carrying `mesh` drawn whole with `material`.
  std::uint32_t MeshNode(const std::string& name, std::uint32_t parent, Vec3 position,
                         const MeshData& mesh, std::uint32_t material,
                         std::array<float, 4> rotation = {0, 0, 0, 1}, Vec3 scale = {1, 1, 1});

  // The index registered under `name` (nodes, materials, textures, meshes as "name/mesh",
  // vertex buffers as "name/vertices"); kNone when there is none.
  std::uint32_t Find(const std::string& name) const;

  scenefile::SceneWriter writer;

 private:
  static scenefile::NodeHeader Header(const std::string& name, std::uint32_t parent, Vec3 position,
                                      std::array<float, 4> rotation, Vec3 scale,
                                      const std::string& properties);
  std::uint32_t nextIndex = 0;
  std::map<std::string, std::uint32_t> names;
};
