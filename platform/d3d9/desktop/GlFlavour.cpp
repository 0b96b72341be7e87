#include "platform/d3d9/GlFlavour.h"

GlslDialect GlShaderDialect() { return GlslDialect::Glsl330; }

void GlSetTextureSwizzle(const GLint swizzle[4]) {
  glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
}

void GlSetPolygonMode(GLenum mode) { glPolygonMode(GL_FRONT_AND_BACK, mode); }

bool GlAttachmentsMatchInSize() { return false; }

void GlSetDepthRange(GLfloat nearZ, GLfloat farZ) { glDepthRange(nearZ, farZ); }

void GlSetClearDepth(GLfloat depth) { glClearDepth(depth); }

void GlSetSamplerWrap(GLuint sampler, GLenum coordinate, GLenum wrap) {
  glSamplerParameteri(sampler, coordinate, static_cast<GLint>(wrap));
}

void GlSetSamplerBorderAndBias(GLuint sampler, const GLfloat border[4], GLfloat lodBias) {
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
  glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, lodBias);
}

void GlPaceFrames(GLsync* fence) {
  // Nothing else throttles a run without a window or with an immediate swap: the renderer
  // would queue frames (and their memory) without bound while the show clock runs away.
  if (*fence) {
    GLenum status = GL_TIMEOUT_EXPIRED;
    while (status == GL_TIMEOUT_EXPIRED)
      status = glClientWaitSync(*fence, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000u);
    glDeleteSync(*fence);
  }
  *fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
  glFlush();
}
