#include "scene/IndexBuffer.h"

IndexBuffer::IndexBuffer(std::int32_t id, SceneGraph* graph) : Base(id, graph) {}

IndexBuffer::~IndexBuffer() = default;
