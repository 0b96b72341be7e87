#include "scene/VertexBuffer.h"
#include "scene/ContractPending.h"

VertexBuffer::VertexBuffer(std::int32_t id, SceneGraph* graph, std::uint32_t vertexCount) : Base(id, graph), vertexCount(vertexCount) { ContractPending("VertexBuffer::VertexBuffer"); }
VertexBuffer::~VertexBuffer() { ContractPending("VertexBuffer::~VertexBuffer"); }
float VertexBuffer::ComputeRadius() { ContractPending("VertexBuffer::ComputeRadius"); }
void VertexBuffer::BuildAdjacency(const IndexBuffer&) { ContractPending("VertexBuffer::BuildAdjacency"); }
void VertexBuffer::ComputeFaceNormals() { ContractPending("VertexBuffer::ComputeFaceNormals"); }
void VertexBuffer::ComputeVertexNormals() { ContractPending("VertexBuffer::ComputeVertexNormals"); }
void VertexBuffer::Upload() { ContractPending("VertexBuffer::Upload"); }
