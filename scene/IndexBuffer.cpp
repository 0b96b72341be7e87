#include "scene/IndexBuffer.h"
#include "scene/ContractPending.h"

IndexBuffer::IndexBuffer(std::int32_t id, SceneGraph* graph) : Base(id, graph) { ContractPending("IndexBuffer::IndexBuffer"); }
IndexBuffer::~IndexBuffer() { ContractPending("IndexBuffer::~IndexBuffer"); }
