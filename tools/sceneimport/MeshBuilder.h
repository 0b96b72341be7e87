// Turns one node's mesh into the scene's buffers: positions mapped to the scene's
// axes, the uv sets the materials ask for, identical vertices joined (so the player's
// recomputed normals stay smooth where the source is smooth), triangles wound
// front-facing for the player, and parts of at most 65,535 vertices.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scenewriter/SceneWriter.h"
#include "tools/sceneimport/ImportModel.h"
#include "tools/sceneimport/ImportReport.h"

namespace sceneimport {

constexpr std::size_t kMaxPartVertices = 65535;

struct MeshPartRun {
  int material = -1;
  std::uint32_t startIndex = 0, indexCount = 0;
};

struct MeshPart {
  std::vector<scenefile::Vertex> vertices;
  std::vector<std::uint32_t> indices;
  std::vector<MeshPartRun> runs;                // one submesh each, in index order
  std::vector<std::vector<Vec3>> morphDeltas;  // per target, one per vertex, scene axes
};

struct MeshMapping {
  float scale = 1;
  bool mirrorX = false;  // negate scene x (the carrier node mirrors it back)
  std::vector<float> staticWeights;  // baked into the positions
  bool keepMorphTargets = false;     // keep per-vertex deltas for vertex frames
};

// `materials` tells which uv sets feed the first and second pair and which
// materials are drawn on both sides.
std::vector<MeshPart> BuildMeshParts(const ImportMesh& mesh, const std::vector<ImportMaterial>& materials,
                                     const MeshMapping& mapping, ImportReport* report);

}  // namespace sceneimport
