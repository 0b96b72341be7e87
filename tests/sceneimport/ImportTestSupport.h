// Runs the importer in-process on a test's own glTF file and reads the result back.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "sceneimport/SceneFileReader.h"
#include "sceneimport/TestGltf.h"
#include "support/TempDir.h"
#include "tools/sceneimport/ImportCommand.h"

struct ImportResult {
  int status = -1;
  std::string out, err;
  sceneimport::ImportReport report;
  SceneFile file;
};

inline ImportResult ImportFile(const std::string& input, const std::string& output,
                               sceneimport::ImportOptions options = {}) {
  ImportResult r;
  options.input = input;
  options.output = output;
  std::ostringstream out, err;
  r.status = sceneimport::RunImport(options, out, err, &r.report);
  r.out = out.str();
  r.err = err.str();
  if (r.status == 0) r.file = ReadSceneFile(output);
  return r;
}

inline ImportResult Import(const TempDir& dir, const TestGltf& gltf, sceneimport::ImportOptions options = {}) {
  return ImportFile(gltf.Save(dir), dir.file("scene.psk"), options);
}

// A cube from -h to h about `centre`, 24 vertices, faces wound counter-clockwise seen
// from outside (glTF's front faces).
struct CubeData {
  std::vector<float> positions;
  std::vector<std::uint32_t> indices;
};
CubeData Cube(float h);

// A small box of its own at the origin, so that a test about nodes, cameras or
// animation has something drawable (an import without triangles fails).
inline void AddDrawable(TestGltf& g) {
  CubeData cube = Cube(0.1f);
  g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
  g.nodes.push_back("{\"name\":\"drawable\",\"mesh\":" + std::to_string(g.meshes.size() - 1) + "}");
  if (!g.sceneNodes.empty()) g.sceneNodes.push_back(static_cast<int>(g.nodes.size()) - 1);
}
