#include "platform/d3d9/GlStateCache.h"

#include "platform/d3d9/GlFlavour.h"

namespace {
void Toggle(GLenum capability, bool on) {
  if (on)
    glEnable(capability);
  else
    glDisable(capability);
}
}  // namespace

GlCallCounts GlStateCache::TakeCounts() {
  GlCallCounts taken = counts_;
  counts_ = GlCallCounts{};
  return taken;
}

void GlStateCache::Initialise() {
  // Render targets are stored top-down with y negated in clip space, which reverses
  // the winding OpenGL sees: Direct3D's clockwise front faces arrive counter-clockwise.
  glFrontFace(GL_CCW);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  Invalidate();
}

void GlStateCache::Invalidate() {
  rasterValid_ = false;
  masksValid_ = false;
  clearValid_ = false;
  bindingsValid_ = false;
}

void GlStateCache::Apply(const GlRasterState& s, bool force) {
  GlRasterState& c = current_;
  bool all = force || !rasterValid_;
  auto differs = [&](bool different) {
    if (!all && !different) return false;
    ++counts_.stateChanges;
    return true;
  };
  if (differs(s.blend != c.blend)) Toggle(GL_BLEND, s.blend);
  if (differs(s.blendSrcRgb != c.blendSrcRgb || s.blendDstRgb != c.blendDstRgb ||
              s.blendSrcAlpha != c.blendSrcAlpha || s.blendDstAlpha != c.blendDstAlpha))
    glBlendFuncSeparate(s.blendSrcRgb, s.blendDstRgb, s.blendSrcAlpha, s.blendDstAlpha);
  if (differs(s.blendEquationRgb != c.blendEquationRgb ||
              s.blendEquationAlpha != c.blendEquationAlpha))
    glBlendEquationSeparate(s.blendEquationRgb, s.blendEquationAlpha);
  if (differs(s.blendColor != c.blendColor))
    glBlendColor(s.blendColor[0], s.blendColor[1], s.blendColor[2], s.blendColor[3]);
  if (differs(s.depthTest != c.depthTest)) Toggle(GL_DEPTH_TEST, s.depthTest);
  if (differs(s.depthFunc != c.depthFunc)) glDepthFunc(s.depthFunc);
  if (differs(s.stencilTest != c.stencilTest)) Toggle(GL_STENCIL_TEST, s.stencilTest);
  if (differs(s.stencilFunc != c.stencilFunc || s.stencilRef != c.stencilRef ||
              s.stencilMask != c.stencilMask))
    glStencilFunc(s.stencilFunc, s.stencilRef, s.stencilMask);
  if (differs(s.stencilFail != c.stencilFail || s.stencilDepthFail != c.stencilDepthFail ||
              s.stencilPass != c.stencilPass))
    glStencilOp(s.stencilFail, s.stencilDepthFail, s.stencilPass);
  if (differs(s.cull != c.cull)) Toggle(GL_CULL_FACE, s.cull);
  if (differs(s.cullFace != c.cullFace)) glCullFace(s.cullFace);
  if (differs(s.polygonMode != c.polygonMode)) GlSetPolygonMode(s.polygonMode);
  if (differs(s.viewport != c.viewport))
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
  if (differs(s.depthRange != c.depthRange)) GlSetDepthRange(s.depthRange[0], s.depthRange[1]);

  current_ = s;
  rasterValid_ = true;
  // The masks and the scissor are shared with Clear, which changes them on its own.
  SetColorMask(s.colorMask, all);
  SetDepthMask(s.depthMask, all);
  SetStencilWriteMask(s.stencilWriteMask, all);
  SetScissor(s.scissor, s.scissorBox, all);
}

void GlStateCache::SetColorMask(const std::array<bool, 4>& mask, bool force) {
  if (!force && masksValid_ && mask == colorMask_) return;
  ++counts_.stateChanges;
  glColorMask(mask[0], mask[1], mask[2], mask[3]);
  colorMask_ = mask;
}

void GlStateCache::SetDepthMask(bool mask, bool force) {
  if (!force && masksValid_ && mask == depthMask_) return;
  ++counts_.stateChanges;
  glDepthMask(mask ? GL_TRUE : GL_FALSE);
  depthMask_ = mask;
}

void GlStateCache::SetStencilWriteMask(GLuint mask, bool force) {
  if (!force && masksValid_ && mask == stencilWriteMask_) return;
  ++counts_.stateChanges;
  glStencilMask(mask);
  stencilWriteMask_ = mask;
}

void GlStateCache::SetScissor(bool enabled, const std::array<GLint, 4>& box, bool force) {
  if (force || !masksValid_ || enabled != scissor_) {
    ++counts_.stateChanges;
    Toggle(GL_SCISSOR_TEST, enabled);
  }
  if (enabled && (force || !masksValid_ || !scissor_ || box != scissorBox_)) {
    ++counts_.stateChanges;
    glScissor(box[0], box[1], box[2], box[3]);
  }
  scissor_ = enabled;
  scissorBox_ = box;
  masksValid_ = true;
}

void GlStateCache::SetClearColor(const std::array<GLfloat, 4>& color) {
  if (clearValid_ && color == clearColor_) return;
  ++counts_.stateChanges;
  glClearColor(color[0], color[1], color[2], color[3]);
  clearColor_ = color;
  if (!clearValid_) {
    // The three clear values are known together from here on.
    GlSetClearDepth(static_cast<GLfloat>(clearDepth_));
    glClearStencil(clearStencil_);
    counts_.stateChanges += 2;
    clearValid_ = true;
  }
}

void GlStateCache::SetClearDepth(GLdouble depth) {
  SetClearColor(clearColor_);
  if (depth == clearDepth_) return;
  ++counts_.stateChanges;
  GlSetClearDepth(static_cast<GLfloat>(depth));
  clearDepth_ = depth;
}

void GlStateCache::SetClearStencil(GLint stencil) {
  SetClearColor(clearColor_);
  if (stencil == clearStencil_) return;
  ++counts_.stateChanges;
  glClearStencil(stencil);
  clearStencil_ = stencil;
}

void GlStateCache::EnsureBindings() {
  if (bindingsValid_) return;
  textures_.fill(~0u);
  samplers_.fill(~0u);
  activeUnit_ = program_ = drawFramebuffer_ = readFramebuffer_ = arrayBuffer_ = elementBuffer_ =
      ~0u;
  bindingsValid_ = true;
}

void GlStateCache::ActiveUnit(GLuint unit) {
  if (unit == activeUnit_) return;
  ++counts_.textureBinds;
  glActiveTexture(GL_TEXTURE0 + unit);
  activeUnit_ = unit;
}

void GlStateCache::BindTexture(GLuint unit, GLuint texture, bool force) {
  EnsureBindings();
  if (!force && textures_[unit] == texture) return;
  ActiveUnit(unit);
  ++counts_.textureBinds;
  glBindTexture(GL_TEXTURE_2D, texture);
  textures_[unit] = texture;
}

void GlStateCache::BindSampler(GLuint unit, GLuint sampler, bool force) {
  EnsureBindings();
  if (!force && samplers_[unit] == sampler) return;
  ++counts_.textureBinds;
  glBindSampler(unit, sampler);
  samplers_[unit] = sampler;
}

void GlStateCache::BindTextureForSetup(GLuint texture) { BindTexture(kSetupUnit, texture, true); }

void GlStateCache::ForgetTexture(GLuint texture) {
  for (GLuint& bound : textures_)
    if (bound == texture) bound = ~0u;
}

void GlStateCache::UseProgram(GLuint program, bool force) {
  EnsureBindings();
  if (!force && program_ == program) return;
  ++counts_.programSwitches;
  glUseProgram(program);
  program_ = program;
}

void GlStateCache::BindDrawFramebuffer(GLuint framebuffer, bool force) {
  EnsureBindings();
  if (!force && drawFramebuffer_ == framebuffer) return;
  ++counts_.bufferBinds;
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
  drawFramebuffer_ = framebuffer;
}

void GlStateCache::BindReadFramebuffer(GLuint framebuffer, bool force) {
  EnsureBindings();
  if (!force && readFramebuffer_ == framebuffer) return;
  ++counts_.bufferBinds;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
  readFramebuffer_ = framebuffer;
}

void GlStateCache::BindArrayBuffer(GLuint buffer, bool force) {
  EnsureBindings();
  if (!force && arrayBuffer_ == buffer) return;
  ++counts_.bufferBinds;
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  arrayBuffer_ = buffer;
}

void GlStateCache::BindElementBuffer(GLuint buffer, bool force) {
  EnsureBindings();
  if (!force && elementBuffer_ == buffer) return;
  ++counts_.bufferBinds;
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
  elementBuffer_ = buffer;
}

void GlStateCache::ForgetBuffer(GLuint buffer) {
  if (arrayBuffer_ == buffer) arrayBuffer_ = ~0u;
  if (elementBuffer_ == buffer) elementBuffer_ = ~0u;
}

void GlStateCache::AttachDrawTargets(GLuint colorTexture, GLint level, GLuint depthRenderbuffer,
                                     bool packedStencil) {
  counts_.stateChanges += 2;
  glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture,
                         level);
  glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
  if (depthRenderbuffer == 0) return;
  ++counts_.stateChanges;
  glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER,
                            packedStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                            GL_RENDERBUFFER, depthRenderbuffer);
}

void GlStateCache::AttachReadTexture(GLuint texture, GLint level) {
  ++counts_.stateChanges;
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
}

void GlStateCache::SetPackRowLength(GLint pixels) {
  ++counts_.stateChanges;
  glPixelStorei(GL_PACK_ROW_LENGTH, pixels);
}

void GlStateCache::SetSampler(GLuint sampler, const GlSamplerState& s) {
  counts_.stateChanges += 8;
  GlSetSamplerWrap(sampler, GL_TEXTURE_WRAP_S, static_cast<GLenum>(s.wrapS));
  GlSetSamplerWrap(sampler, GL_TEXTURE_WRAP_T, static_cast<GLenum>(s.wrapT));
  GlSetSamplerWrap(sampler, GL_TEXTURE_WRAP_R, static_cast<GLenum>(s.wrapR));
  GlSetSamplerBorderAndBias(sampler, s.borderColor.data(), s.lodBias);
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, s.magFilter);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, s.minFilter);
  glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, s.minLod);
}

void GlStateCache::SetVertexAttribute(GLuint location, bool enabled, GLint size, GLenum type,
                                      GLboolean normalised, GLsizei stride, std::size_t offset) {
  ++counts_.stateChanges;
  if (!enabled) {
    glDisableVertexAttribArray(location);
    return;
  }
  glEnableVertexAttribArray(location);
  ++counts_.stateChanges;
  glVertexAttribPointer(location, size, type, normalised, stride,
                        reinterpret_cast<const void*>(offset));
}
