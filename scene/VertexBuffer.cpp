#include "scene/VertexBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "scene/IndexBuffer.h"
#include "scene/SceneFatal.h"

VertexBuffer::VertexBuffer(std::int32_t id, SceneGraph* graph, std::uint32_t vertexCount)
    : Base(id, graph), vertexCount(vertexCount), vertices(vertexCount) {}

VertexBuffer::~VertexBuffer() = default;

float VertexBuffer::ComputeRadius() {
  float largest[3] = {0, 0, 0};
  for (const SceneVertex& vertex : vertices)
    for (int axis = 0; axis < 3; ++axis)
      largest[axis] = std::max(largest[axis], std::fabs(std::trunc(vertex.position[axis])));
  return largest[0] * largest[0] + largest[1] * largest[1] + largest[2] * largest[2];
}

void VertexBuffer::BuildAdjacency(const IndexBuffer& indexBuffer) {
  if (vertices.size() != vertexCount)
    SceneFatal("Vertex buffer " + std::to_string(id) + " holds " + std::to_string(vertices.size()) +
               " vertices instead of its " + std::to_string(vertexCount));
  triangleCount = indexBuffer.triangleCount;
  const std::vector<std::uint16_t>& indices = indexBuffer.indices;
  if (indices.size() / 3 < triangleCount)
    SceneFatal("Index buffer " + std::to_string(indexBuffer.id) + " holds " +
               std::to_string(indices.size()) + " indices, fewer than its " +
               std::to_string(triangleCount) + " triangles need");
  for (std::size_t i = 0; i < std::size_t{triangleCount} * 3; ++i)
    if (indices[i] >= vertexCount)
      SceneFatal("Index buffer " + std::to_string(indexBuffer.id) + ": index " +
                 std::to_string(indices[i]) + " at position " + std::to_string(i) +
                 " points past the " + std::to_string(vertexCount) + " vertices of vertex buffer " +
                 std::to_string(id));

  triangles.assign(triangleCount, Triangle{});
  // One flat list of triangle numbers, grouped by vertex and in triangle order within
  // each vertex (counting pass, then filling pass).
  adjacencyStart.assign(std::size_t{vertexCount} + 1, 0);
  for (std::size_t i = 0; i < std::size_t{triangleCount} * 3; ++i) ++adjacencyStart[indices[i] + 1];
  for (std::uint32_t v = 0; v < vertexCount; ++v) adjacencyStart[v + 1] += adjacencyStart[v];
  adjacencyTriangles.assign(std::size_t{triangleCount} * 3, 0);
  std::vector<std::uint32_t> fill(adjacencyStart.begin(), adjacencyStart.end() - 1);
  for (std::uint32_t t = 0; t < triangleCount; ++t) {
    for (int corner = 0; corner < 3; ++corner) {
      const std::uint32_t v = indices[std::size_t{t} * 3 + corner];
      triangles[t].index[corner] = v;
      adjacencyTriangles[fill[v]++] = t;
    }
  }
  vertexNormals.assign(vertexCount, D3DXVECTOR3(0, 0, 0));
}

void VertexBuffer::ComputeFaceNormals() {
  for (Triangle& triangle : triangles) {
    const float* p0 = vertices[triangle.index[0]].position;
    const float* p1 = vertices[triangle.index[1]].position;
    const float* p2 = vertices[triangle.index[2]].position;
    const D3DXVECTOR3 a(p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]);
    const D3DXVECTOR3 b(p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]);
    D3DXVECTOR3 cross;
    D3DXVec3Cross(&cross, &a, &b);
    D3DXVec3Normalize(&triangle.normal, &cross);  // a degenerate triangle gives zero
  }
}

void VertexBuffer::ComputeVertexNormals() {
  // Adjacency is built with the vertex count of its time; a vertex outside it has no triangles.
  vertexNormals.resize(vertexCount, D3DXVECTOR3(0, 0, 0));
  const std::size_t listed = adjacencyStart.empty() ? 0 : adjacencyStart.size() - 1;
  for (std::uint32_t v = 0; v < vertexCount; ++v) {
    D3DXVECTOR3 sum(0, 0, 0);
    if (v < listed)
      for (std::uint32_t k = adjacencyStart[v]; k < adjacencyStart[v + 1]; ++k)
        sum += triangles[adjacencyTriangles[k]].normal;
    D3DXVECTOR3 normal;
    D3DXVec3Normalize(&normal, &sum);  // zero when no triangle uses the vertex
    vertexNormals[v] = normal;
    std::memcpy(vertices[v].normal, &normal, sizeof vertices[v].normal);
  }
}

void VertexBuffer::Upload() {
  ComputeFaceNormals();
  ComputeVertexNormals();
  void* locked = nullptr;
  if (!deviceBuffer || FAILED(deviceBuffer->Lock(0, 0, &locked, 0)) || !locked)
    SceneFatal("Vertex buffer lock failed!");
  std::memcpy(locked, vertices.data(), std::size_t{vertexCount} * stride);
  deviceBuffer->Unlock();
}
