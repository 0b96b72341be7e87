#include "scene/Mesh.h"

#include <algorithm>
#include <cstring>

#include "scene/Group.h"
#include "scene/SceneFatal.h"
#include "scene/StateCache.h"

Mesh::Mesh(std::int32_t id, SceneGraph* graph)
    : Base(id, graph), vertexBuffer(graph), indexBuffer(graph) {}

Mesh::~Mesh() = default;

float* Mesh::GetControlField(const char*) { SceneFatal("Mesh: Invalid control field!"); }

void Mesh::Link() {
  IndexBuffer& indices = indexBuffer.Require("Mesh index buffer");
  VertexBuffer& vertices = vertexBuffer.Require("Mesh vertex buffer");
  vertices.BuildAdjacency(indices);
  if (!cache->CreateVertexBuffer(vertices)) SceneFatal("Vertex buffer creation failed!");
  radiusSq = vertices.ComputeRadius();
  vertices.Upload();

  if (!cache->CreateIndexBuffer(indices)) SceneFatal("Index buffer creation failed!");
  void* locked = nullptr;
  if (FAILED(indices.deviceBuffer->Lock(0, 0, &locked, 0)) || !locked)
    SceneFatal("Index buffer lock failed!");
  // BuildAdjacency has checked that the CPU copy holds triangleCount * 3 indices.
  std::memcpy(locked, indices.indices.data(), std::size_t{indices.triangleCount} * 6);
  indices.deviceBuffer->Unlock();
}

void Mesh::BindStreams() {
  VertexBuffer& vertices = vertexBuffer.Require("Mesh vertex buffer");
  IndexBuffer& indices = indexBuffer.Require("Mesh index buffer");
  IDirect3DDevice9* device = cache->device;
  device->SetStreamSource(0, vertices.deviceBuffer.get(), 0, vertices.stride);
  device->SetIndices(indices.deviceBuffer.get());
}

void Mesh::SetWorld(const Group& group) {
  cache->device->SetTransform(D3DTS_WORLD, &group.worldMatrix);
}
