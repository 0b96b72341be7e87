#include "scene/loading/VertexController.h"

#include <algorithm>

#include "scene/VertexBuffer.h"
#include "scene/loading/KeySpan.h"

VertexController::VertexController(MultiVertexBuffer* buffer) : buffer(buffer) {}

void VertexController::Evaluate(float time) {
  const auto& frames = buffer->frames;
  if (frames.empty()) return;
  const KeyChoice choice = timing.Choose(time, frames.size());
  const MultiVertexBuffer::Frame& a = frames[choice.first];
  const MultiVertexBuffer::Frame& b = frames[choice.second];
  auto& vertices = buffer->vertices;
  // A frame shorter than the vertex array leaves the rest of it alone.
  const std::size_t count = std::min({vertices.size(), a.size(), b.size()});
  if (choice.Alone()) {
    for (std::size_t v = 0; v < count; ++v)
      for (int c = 0; c < 3; ++c) vertices[v].position[c] = a[v][c];
  } else {
    const float f = choice.blend;
    for (std::size_t v = 0; v < count; ++v)
      for (int c = 0; c < 3; ++c) vertices[v].position[c] = a[v][c] + (b[v][c] - a[v][c]) * f;
  }
  buffer->Upload();
}
