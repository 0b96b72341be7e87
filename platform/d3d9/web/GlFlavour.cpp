#include "platform/d3d9/GlFlavour.h"

#include "platform/d3d9/ErrorReport.h"

GlslDialect GlShaderDialect() { return GlslDialect::GlslEs300; }

// Every colour format is held as RGBA bytes, converted on upload: nothing to swizzle.
void GlSetTextureSwizzle(const GLint*) {}

void GlSetPolygonMode(GLenum mode) {
  // WebGL draws filled polygons only; wireframe and point fill are refused once, loudly.
  static bool reported = false;
  if (mode != GL_FILL && !reported) {
    reported = true;
    ReportInvalidCall("D3DRS_FILLMODE: WebGL2 draws solid polygons only");
  }
}

bool GlAttachmentsMatchInSize() { return true; }

void GlSetDepthRange(GLfloat nearZ, GLfloat farZ) { glDepthRangef(nearZ, farZ); }

void GlSetClearDepth(GLfloat depth) { glClearDepthf(depth); }

void GlSetSamplerWrap(GLuint sampler, GLenum coordinate, GLenum wrap) {
  // No border colour in WebGL2: a border address clamps to the edge texel.
  if (wrap == GL_CLAMP_TO_BORDER) wrap = GL_CLAMP_TO_EDGE;
  glSamplerParameteri(sampler, coordinate, static_cast<GLint>(wrap));
}

// No border colour (see above); the level-of-detail bias is added by the lookups in the
// generated programs.
void GlSetSamplerBorderAndBias(GLuint, const GLfloat*, GLfloat) {}

// The browser paces frames: it draws what a frame asked for when the frame returns.
void GlPaceFrames(GLsync*) { glFlush(); }
