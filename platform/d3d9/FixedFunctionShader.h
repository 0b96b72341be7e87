// GLSL that computes what Direct3D 9's fixed-function pipeline computes for one
// FixedFunctionKey: transform with Direct3D's pixel centres and 0..1 depth, vertex
// lighting, texture coordinate generation and transforms, point size; for point lists a
// geometry stage that expands each point into a square (sprites included); the texture
// stage combiners, specular add and alpha test. Uniform names are listed in
// ShaderCache.cpp, which binds them. Text only; compiles nothing. Two dialects: GLSL 3.30
// core for desktop OpenGL, and GLSL ES 3.00 for WebGL2, which has no geometry stage:
// there a point is drawn as a GL point of the computed size, sprites read gl_PointCoord.
#pragma once

#include <string>

#include "platform/d3d9/FixedFunctionKey.h"

struct FixedFunctionSource {
  std::string vertex;
  std::string geometry;  // empty unless the key draws points
  std::string fragment;
};

enum class GlslDialect { Glsl330, GlslEs300 };

FixedFunctionSource GenerateFixedFunctionSource(const FixedFunctionKey& key,
                                                GlslDialect dialect = GlslDialect::Glsl330);
