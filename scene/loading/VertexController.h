// A multi-frame vertex buffer's positions blended between its evenly spaced
// frames and uploaded with fresh normals.
#pragma once

#include <cstdint>

#include "scene/loading/Controller.h"

class MultiVertexBuffer;

class VertexController : public Controller {
 public:
  explicit VertexController(MultiVertexBuffer* buffer);
  void Evaluate(float time) override;

  MultiVertexBuffer* buffer;  // not owned
  bool looping = false;
  std::uint32_t animStart = 0, animEnd = 0, keyStart = 0, keyEnd = 0;  // ms
};
