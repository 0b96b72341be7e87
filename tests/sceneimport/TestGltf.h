// Writes small glTF 2.0 files for the importer's tests: one embedded base64 buffer
// that accessors are appended to, and the JSON sections as the test spells them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

class TestGltf {
 public:
  // Accessors over the shared buffer; `type` is "SCALAR", "VEC2", "VEC3", "VEC4" or "MAT4".
  int Floats(const std::vector<float>& values, const std::string& type, bool withBounds = false);
  int Indices(const std::vector<std::uint32_t>& values);
  // Four joint numbers per vertex (JOINTS_0).
  int Joints(const std::vector<std::uint16_t>& values);
  // A data URI holding `bytes` as `mime`.
  static std::string DataUri(const std::vector<std::uint8_t>& bytes, const std::string& mime);

  // JSON objects, each a complete "{...}" text, in index order.
  std::vector<std::string> nodes, meshes, materials, textures, images, cameras, lights, animations, skins;
  std::vector<int> sceneNodes;
  std::vector<std::string> extensionsUsed;

  std::string Json() const;
  // Writes the file into `dir` and returns its path.
  std::string Save(const TempDir& dir, const std::string& name = "model.gltf") const;

 private:
  // Appends `bytes` of `data` to the buffer with a view and an accessor over them.
  int Accessor(const void* data, std::size_t bytes, int componentType, std::size_t count, const char* type);
  std::vector<std::uint8_t> buffer_;
  std::vector<std::string> views_, accessors_;
};

// A mesh JSON with one primitive.
std::string MeshJson(int position, int indices, int material = -1, const std::string& more = "");
// A 2x2 RGBA picture as PNG bytes, every pixel `rgba`.
std::vector<std::uint8_t> TinyPng(std::uint32_t rgba, bool withAlpha);
