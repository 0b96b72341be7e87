#include <algorithm>
#include <cmath>

#include "scene/VertexBuffer.h"

MultiVertexBuffer::MultiVertexBuffer(std::int32_t id, SceneGraph* graph,
                                     std::uint32_t vertexCount)
    : VertexBuffer(id, graph, vertexCount) {}

float MultiVertexBuffer::ComputeRadius() {
  float largest[3] = {0, 0, 0};
  for (const Frame& frame : frames)
    for (const auto& position : frame)
      for (int axis = 0; axis < 3; ++axis)
        largest[axis] = std::max(largest[axis], std::fabs(std::trunc(position[axis])));
  return largest[0] * largest[0] + largest[1] * largest[1] + largest[2] * largest[2];
}
