// A mesh's vertices: the CPU copy kept for the life of the scene, the triangle
// adjacency and normals recomputed from it, and the managed device buffer it is
// uploaded to. MultiVertexBuffer adds position frames for the vertex controller.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx9math.h"
#include "platform/os/ComOwner.h"
#include "scene/Base.h"
#include "scene/SceneVertex.h"

class IndexBuffer;

class VertexBuffer : public Base {
 public:
  static constexpr const char* kObjectName = "vertex buffer";

  struct Triangle {
    std::uint32_t index[3];
    D3DXVECTOR3 normal;
  };

  // `vertexCount` zeroed vertices.
  VertexBuffer(std::int32_t id, SceneGraph* graph, std::uint32_t vertexCount);
  ~VertexBuffer() override;

  // Sum of the squared largest truncated coordinates per axis (no square root).
  virtual float ComputeRadius();
  // Triangles from the index buffer and, per vertex, the triangles using it; an
  // index past the vertices ends the show.
  void BuildAdjacency(const IndexBuffer& indexBuffer);
  void ComputeFaceNormals();
  void ComputeVertexNormals();  // a vertex no triangle uses gets a zero normal
  // Fresh normals, then the whole CPU copy through one lock (failure is fatal).
  void Upload();

  // Per vertex: the triangles that use it (offsets into adjacencyTriangles
  // between adjacencyStart[v] and adjacencyStart[v + 1]) and its smoothed normal.
  std::vector<std::uint32_t> adjacencyStart;
  std::vector<std::uint32_t> adjacencyTriangles;
  std::vector<D3DXVECTOR3> vertexNormals;
  std::vector<Triangle> triangles;
  std::uint32_t triangleCount = 0;
  std::uint32_t vertexCount;
  std::uint32_t stride = sizeof(SceneVertex);
  std::uint32_t fvf = kSceneVertexFvf;
  ComOwner<IDirect3DVertexBuffer9> deviceBuffer;
  std::vector<SceneVertex> vertices;  // the CPU copy
};

class MultiVertexBuffer : public VertexBuffer {
 public:
  using Frame = std::vector<std::array<float, 3>>;  // vertexCount positions

  MultiVertexBuffer(std::int32_t id, SceneGraph* graph, std::uint32_t vertexCount);
  // As VertexBuffer's, over the positions of every frame.
  float ComputeRadius() override;

  std::vector<Frame> frames;
};
