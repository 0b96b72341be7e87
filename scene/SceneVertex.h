// The one vertex layout of every mesh: position, normal and two texture
// coordinate pairs, 40 bytes (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2).
#pragma once

#include <cstdint>

struct SceneVertex {
  float position[3];
  float normal[3];
  float uv0[2];
  float uv1[2];
};
static_assert(sizeof(SceneVertex) == 40);

inline constexpr std::uint32_t kSceneVertexFvf = 0x212;
