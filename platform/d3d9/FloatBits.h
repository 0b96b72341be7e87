// Float render and sampler states (point sizes, the mipmap bias) travel as their bit
// pattern in the DWORD value.
#pragma once

#include <cstring>

#include "platform/d3d9/d3d9types.h"

inline float AsFloat(DWORD value) {
  float f;
  std::memcpy(&f, &value, sizeof f);
  return f;
}
inline DWORD FloatBits(float value) {
  DWORD d;
  std::memcpy(&d, &value, sizeof d);
  return d;
}
