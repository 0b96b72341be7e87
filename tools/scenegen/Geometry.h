// Generated meshes for the scene files: boxes, spheres and planes, with outward
// faces wound clockwise as seen from outside (the face normal
// (p1 - p0) x (p2 - p0) points out), texture coordinates 0..1 per face.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/scenewriter/SceneWriter.h"

struct MeshData {
  std::vector<scenefile::Vertex> vertices;
  std::vector<std::uint32_t> indices;
};

using Vec3 = std::array<float, 3>;

// An axis-aligned box of the given size, centred on the origin.
MeshData MakeBox(Vec3 size);
// A sphere of `radius` with `rings` bands and `segments` slices.
MeshData MakeSphere(float radius, int rings, int segments);
// A square of `size` in the x-y plane facing +z, the texture repeated `repeat` times.
MeshData MakePlane(float size, float repeat);
