#include "scene/VertexBuffer.h"
#include "scene/ContractPending.h"

MultiVertexBuffer::MultiVertexBuffer(std::int32_t id, SceneGraph* graph, std::uint32_t vertexCount) : VertexBuffer(id, graph, vertexCount) { ContractPending("MultiVertexBuffer::MultiVertexBuffer"); }
float MultiVertexBuffer::ComputeRadius() { ContractPending("MultiVertexBuffer::ComputeRadius"); }
