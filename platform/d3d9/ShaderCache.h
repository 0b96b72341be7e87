// Compiled fixed-function programs of one device, one per FixedFunctionKey, with the
// locations of their uniforms and the change stamps of the uniform groups last
// uploaded to each. Owns the GL program objects; entry thread, context current.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "platform/d3d9/FixedFunctionKey.h"
#include "platform/d3d9/GlStateCache.h"

// Uniform groups, each re-sent to a program only when the device changed it since.
enum UniformGroup {
  kTransformUniforms,  // world·view, projection, normal matrix, viewport
  kTextureMatrixUniforms,
  kMaterialUniforms,   // material and global ambient
  kLightUniforms,      // lights in camera space (depend on the view matrix)
  kPointUniforms,      // point size, clamps, scale factors
  kFragmentUniforms,   // texture factor, alpha reference
  kUniformGroupCount
};

struct FixedFunctionProgram {
  GLuint program = 0;
  GLint worldView = -1, projection = -1, normalMatrix = -1, viewport = -1;
  GLint textureMatrix = -1;
  GLint materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1;
  GLint materialEmissive = -1, materialPower = -1, globalAmbient = -1;
  GLint lightDiffuse = -1, lightSpecular = -1, lightAmbient = -1, lightPosition = -1;
  GLint lightDirection = -1, lightAttenuation = -1, lightSpot = -1;
  GLint pointSize = -1, pointScale = -1;
  GLint textureFactor = -1, alphaRef = -1;
  GLint lodBias = -1;  // the stages' level-of-detail bias, where lookups add it
  int lightCount = 0;
  std::array<std::uint64_t, kUniformGroupCount> uploaded{};  // 0: never
};

class ShaderCache {
 public:
  ShaderCache() = default;
  ~ShaderCache();
  ShaderCache(const ShaderCache&) = delete;
  ShaderCache& operator=(const ShaderCache&) = delete;

  // The program for the key, compiled on first use; null (reported) if it fails. A new
  // program is bound through `gl` to set its samplers, so the cache knows it is bound.
  FixedFunctionProgram* Get(const FixedFunctionKey& key, GlStateCache& gl);
  std::size_t size() const { return programs_.size(); }
  // Deletes every program (context current).
  void Clear();

 private:
  std::unordered_map<FixedFunctionKey, std::unique_ptr<FixedFunctionProgram>,
                     FixedFunctionKeyHash>
      programs_;
};
