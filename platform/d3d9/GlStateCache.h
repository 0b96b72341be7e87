// The OpenGL state one device has last set, so that each call to OpenGL is made only
// when the value changes. Every state change of the layer goes through here; a forced
// apply (the debug switch) re-issues every value. Knows nothing of Direct3D.
// Entry thread only, with the device's context current.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>

// Fixed-function raster state of one draw, already translated to OpenGL.
struct GlRasterState {
  bool blend = false;
  GLenum blendSrcRgb = GL_ONE, blendDstRgb = GL_ZERO;
  GLenum blendSrcAlpha = GL_ONE, blendDstAlpha = GL_ZERO;
  GLenum blendEquationRgb = GL_FUNC_ADD, blendEquationAlpha = GL_FUNC_ADD;
  std::array<GLfloat, 4> blendColor{1, 1, 1, 1};
  bool depthTest = false;
  GLenum depthFunc = GL_LEQUAL;
  bool depthMask = true;
  bool stencilTest = false;
  GLenum stencilFunc = GL_ALWAYS;
  GLint stencilRef = 0;
  GLuint stencilMask = 0xFFFFFFFFu;
  GLuint stencilWriteMask = 0xFFFFFFFFu;
  GLenum stencilFail = GL_KEEP, stencilDepthFail = GL_KEEP, stencilPass = GL_KEEP;
  bool cull = false;
  GLenum cullFace = GL_BACK;
  std::array<bool, 4> colorMask{true, true, true, true};
  GLenum polygonMode = GL_FILL;
  std::array<GLint, 4> viewport{0, 0, 0, 0};
  std::array<GLfloat, 2> depthRange{0, 1};
  bool scissor = false;
  std::array<GLint, 4> scissorBox{0, 0, 0, 0};
};

// One sampler object's parameters, already translated to OpenGL.
struct GlSamplerState {
  GLint wrapS = GL_REPEAT, wrapT = GL_REPEAT, wrapR = GL_REPEAT;
  std::array<GLfloat, 4> borderColor{0, 0, 0, 0};
  GLint magFilter = GL_LINEAR, minFilter = GL_NEAREST_MIPMAP_LINEAR;
  GLfloat lodBias = 0, minLod = -1000;
};

// OpenGL calls made since the counts were last taken: what the cache let through.
struct GlCallCounts {
  std::uint64_t draws = 0;
  std::uint64_t stateChanges = 0;  // fixed-function, mask, clear-value, sampler, vertex-array state
  std::uint64_t uniformUploads = 0;  // groups of uniforms
  std::uint64_t textureBinds = 0;  // textures and samplers on units
  std::uint64_t bufferBinds = 0;   // vertex, index and frame buffers
  std::uint64_t programSwitches = 0;
};

class GlStateCache {
 public:
  static constexpr GLuint kSetupUnit = 15;  // texture unit for uploads, never drawn from

  // Sets the fixed parts of the context every device relies on.
  void Initialise();
  // Forgets everything: the next calls re-issue every value.
  void Invalidate();

  void Apply(const GlRasterState& state, bool force);

  void SetColorMask(const std::array<bool, 4>& mask, bool force = false);
  void SetDepthMask(bool mask, bool force = false);
  void SetStencilWriteMask(GLuint mask, bool force = false);
  void SetScissor(bool enabled, const std::array<GLint, 4>& box, bool force = false);
  void SetClearColor(const std::array<GLfloat, 4>& color);
  void SetClearDepth(GLdouble depth);
  void SetClearStencil(GLint stencil);

  void BindTexture(GLuint unit, GLuint texture, bool force = false);
  void BindSampler(GLuint unit, GLuint sampler, bool force = false);
  // Binds a texture on the setup unit for creation and uploads.
  void BindTextureForSetup(GLuint texture);
  // Call before deleting a texture, so no unit is thought to still hold it.
  void ForgetTexture(GLuint texture);

  void UseProgram(GLuint program, bool force = false);
  void BindDrawFramebuffer(GLuint framebuffer, bool force = false);
  void BindReadFramebuffer(GLuint framebuffer, bool force = false);
  void BindArrayBuffer(GLuint buffer, bool force = false);
  void BindElementBuffer(GLuint buffer, bool force = false);
  void ForgetBuffer(GLuint buffer);

  // Not cached (the device tracks what they hold), but counted like every state change.
  // Attaches a colour texture level and, when not 0, a depth renderbuffer (with its
  // stencil when `packedStencil`) to the bound draw framebuffer.
  void AttachDrawTargets(GLuint colorTexture, GLint level, GLuint depthRenderbuffer,
                         bool packedStencil);
  // Attaches a colour texture level to the bound read framebuffer.
  void AttachReadTexture(GLuint texture, GLint level);
  void SetPackRowLength(GLint pixels);
  void SetSampler(GLuint sampler, const GlSamplerState& state);
  // Attribute `location` reads `size` values from `offset` in the bound array buffer,
  // or, when `enabled` is false, is off.
  void SetVertexAttribute(GLuint location, bool enabled, GLint size, GLenum type,
                          GLboolean normalised, GLsizei stride, std::size_t offset);

  // Calls the device makes itself are counted here too.
  GlCallCounts& counts() { return counts_; }
  // The counts so far, which start again from zero.
  GlCallCounts TakeCounts();

 private:
  void EnsureBindings();
  void ActiveUnit(GLuint unit);

  GlRasterState current_;  // the mask and scissor fields are unused: see below
  bool rasterValid_ = false;
  std::array<bool, 4> colorMask_{true, true, true, true};
  bool depthMask_ = true;
  GLuint stencilWriteMask_ = ~0u;
  bool scissor_ = false;
  std::array<GLint, 4> scissorBox_{};
  bool masksValid_ = false;
  std::array<GLfloat, 4> clearColor_{};
  GLdouble clearDepth_ = 1;
  GLint clearStencil_ = 0;
  bool clearValid_ = false;
  GlCallCounts counts_;
  std::array<GLuint, 16> textures_{};
  std::array<GLuint, 16> samplers_{};
  GLuint activeUnit_ = 0;
  GLuint program_ = 0;
  GLuint drawFramebuffer_ = 0;
  GLuint readFramebuffer_ = 0;
  GLuint arrayBuffer_ = 0;
  GLuint elementBuffer_ = 0;
  bool bindingsValid_ = false;
};
