// The part of the Direct3D state that changes the generated shaders, reduced to what
// matters: vertex elements present, lighting switches, the active light types, point
// sprite settings, alpha test function and the live texture stages (after the rule that
// an operation reading a stage without a texture passes CURRENT through). Two states
// with equal keys draw with the same program; values that only feed uniforms are not
// part of it. Plain bytes, compared and hashed as such.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/VertexLayout.h"

struct StageKey {
  std::uint8_t colorOp;      // D3DTOP_*; the chain ends at the first stage not live
  std::uint8_t colorArg[3];  // ARG0, ARG1, ARG2 with modifiers; 0 where unread
  std::uint8_t alphaOp;      // D3DTOP_DISABLE: alpha passes through
  std::uint8_t alphaArg[3];
  std::uint8_t resultTemp;   // 1: the result goes to TEMP
  std::uint8_t sampled;      // 1: the stage samples its texture
  std::uint8_t coordSource;  // D3DTSS_TCI_* >> 16, when sampled
  std::uint8_t coordSet;     // vertex coordinate set, when sampled
  std::uint8_t transform;    // D3DTTFF count 0..4, when sampled
};

struct FixedFunctionKey {
  std::uint8_t rhw;
  std::uint8_t hasNormal, hasDiffuse, hasSpecular, hasPointSize;
  std::uint8_t texSetCount;
  std::uint8_t texSetSize[8];
  std::uint8_t lighting, localViewer, normalizeNormals, specularEnable;
  std::uint8_t diffuseSource, specularSource, ambientSource, emissiveSource;  // effective
  std::uint8_t lightCount;
  std::uint8_t lightType[8];
  std::uint8_t points, pointScale, pointSprite;
  std::uint8_t alphaFunc;  // D3DCMP_*; 0 when the alpha test is off
  std::uint8_t stageCount;
  StageKey stages[8];

  bool operator==(const FixedFunctionKey& other) const {
    return std::memcmp(this, &other, sizeof *this) == 0;
  }
};

struct FixedFunctionKeyHash {
  std::size_t operator()(const FixedFunctionKey& key) const;
};

// textureBound[s]: stage s has a texture. points: the draw is a point list.
FixedFunctionKey BuildFixedFunctionKey(const DeviceState& state, const VertexLayout& layout,
                                       const std::array<bool, kStageCount>& textureBound,
                                       bool points);

// The indices of the enabled lights in the order the key lists them (at most 8).
int ActiveLightIndices(const DeviceState& state, std::array<DWORD, 8>* indices);
