// GLSL 3.30 that computes what Direct3D 9's fixed-function pipeline computes for one
// FixedFunctionKey: transform with Direct3D's pixel centres and 0..1 depth, vertex
// lighting, texture coordinate generation and transforms, point size; for point lists a
// geometry stage that expands each point into a square (sprites included); the texture
// stage combiners, specular add and alpha test. Uniform names are listed in
// ShaderCache.cpp, which binds them. Text only; compiles nothing.
#pragma once

#include <string>

#include "platform/d3d9/FixedFunctionKey.h"

struct FixedFunctionSource {
  std::string vertex;
  std::string geometry;  // empty unless the key draws points
  std::string fragment;
};

FixedFunctionSource GenerateFixedFunctionSource(const FixedFunctionKey& key);
