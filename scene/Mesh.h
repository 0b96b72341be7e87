// The geometry of one node: a vertex and an index buffer, cut into submeshes that
// each draw a range of the indices with one material.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/Base.h"
#include "scene/IndexBuffer.h"
#include "scene/ObjectRef.h"
#include "scene/Preparable.h"
#include "scene/VertexBuffer.h"

class Group;
class SubMesh;

class Mesh : public Preparable, public Base {
 public:
  static constexpr const char* kObjectName = "mesh";

  Mesh(std::int32_t id, SceneGraph* graph);
  ~Mesh() override;

  void Update(bool) override {}
  float* GetControlField(const char* name) override;  // every name is invalid
  // Adjacency, device buffers, radius and the first upload; missing buffers end the show.
  void Link() override;
  void BindStreams();
  void SetWorld(const Group& group);

  float radiusSq = 0;               // ComputeRadius of the vertex buffer: a squared length
  std::vector<SubMesh*> subMeshes;  // owned by the graph
  Group* group = nullptr;           // the carrying node, not owned
  ObjectRef<VertexBuffer> vertexBuffer;
  ObjectRef<IndexBuffer> indexBuffer;
};
