// A mesh's 16-bit triangle-list indices: the CPU copy and the managed device buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "platform/os/ComOwner.h"
#include "scene/Base.h"

class IndexBuffer : public Base {
 public:
  static constexpr const char* kObjectName = "index buffer";

  IndexBuffer(std::int32_t id, SceneGraph* graph);
  ~IndexBuffer() override;

  std::uint32_t triangleCount = 0;  // indices / 3
  ComOwner<IDirect3DIndexBuffer9> deviceBuffer;
  std::vector<std::uint16_t> indices;
};
