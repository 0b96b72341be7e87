// A multi-frame vertex buffer's positions blended between its evenly spaced
// frames and uploaded with fresh normals.
#pragma once

#include "scene/loading/Controller.h"
#include "scene/loading/KeySpan.h"

class MultiVertexBuffer;

class VertexController : public Controller {
 public:
  explicit VertexController(MultiVertexBuffer* buffer);
  void Evaluate(float time) override;

  MultiVertexBuffer* buffer;  // not owned
  KeyTiming timing;
};
