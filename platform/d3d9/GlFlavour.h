// What differs between the two OpenGL flavours the layer draws with: desktop OpenGL 3.3
// core, and WebGL2 (OpenGL ES 3.0 without texture swizzles, polygon modes, border
// colours, level-of-detail bias, base-vertex draws, BGRA data and client waits). Each
// flavour is one source file (desktop/ or web/); the build picks one. Entry thread only,
// with the device's context current.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d9/FixedFunctionShader.h"

// The shading language the generated programs are written in.
GlslDialect GlShaderDialect();
// The swizzle of the texture bound to GL_TEXTURE_2D.
void GlSetTextureSwizzle(const GLint swizzle[4]);
void GlSetPolygonMode(GLenum mode);
void GlSetDepthRange(GLfloat nearZ, GLfloat farZ);
void GlSetClearDepth(GLfloat depth);
// wrap as ToGlAddress gives it (GL_CLAMP_TO_BORDER included).
void GlSetSamplerWrap(GLuint sampler, GLenum coordinate, GLenum wrap);
void GlSetSamplerBorderAndBias(GLuint sampler, const GLfloat border[4], GLfloat lodBias);
// Whether a framebuffer's attachments must all be of one size (WebGL's rule; Direct3D
// and desktop OpenGL draw with a depth surface larger than the target).
bool GlAttachmentsMatchInSize();
// Waits until the frame before the last is drawn, so that frames cannot queue without
// bound; *fence is the fence of the last frame, replaced by one for this frame.
void GlPaceFrames(GLsync* fence);
