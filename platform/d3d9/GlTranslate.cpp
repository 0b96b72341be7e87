#include "platform/d3d9/GlTranslate.h"

#include <cassert>

GLenum ToGlPrimitive(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
      return GL_LINES;
    case D3DPT_LINESTRIP:
      return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
      return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
      return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
      return GL_TRIANGLE_FAN;
    default:
      assert(!"ToGlPrimitive: invalid primitive type");
      return GL_TRIANGLES;
  }
}

GLenum ToGlCompare(DWORD func) {
  switch (func) {
    case D3DCMP_NEVER:
      return GL_NEVER;
    case D3DCMP_LESS:
      return GL_LESS;
    case D3DCMP_EQUAL:
      return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
      return GL_LEQUAL;
    case D3DCMP_GREATER:
      return GL_GREATER;
    case D3DCMP_NOTEQUAL:
      return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
      return GL_GEQUAL;
    case D3DCMP_ALWAYS:
      return GL_ALWAYS;
    default:
      assert(!"ToGlCompare: invalid comparison function");
      return GL_ALWAYS;
  }
}

GLenum ToGlStencilOp(DWORD op) {
  switch (op) {
    case D3DSTENCILOP_KEEP:
      return GL_KEEP;
    case D3DSTENCILOP_ZERO:
      return GL_ZERO;
    case D3DSTENCILOP_REPLACE:
      return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT:
      return GL_INCR;
    case D3DSTENCILOP_DECRSAT:
      return GL_DECR;
    case D3DSTENCILOP_INVERT:
      return GL_INVERT;
    case D3DSTENCILOP_INCR:
      return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR:
      return GL_DECR_WRAP;
    default:
      assert(!"ToGlStencilOp: invalid stencil operation");
      return GL_KEEP;
  }
}

GLenum ToGlBlendEquation(DWORD op) {
  switch (op) {
    case D3DBLENDOP_ADD:
      return GL_FUNC_ADD;
    case D3DBLENDOP_SUBTRACT:
      return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
      return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
      return GL_MIN;
    case D3DBLENDOP_MAX:
      return GL_MAX;
    default:
      assert(!"ToGlBlendEquation: invalid blend operation");
      return GL_FUNC_ADD;
  }
}

GLenum ToGlBlendFactor(DWORD blend, bool destinationAlpha) {
  switch (blend) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
    case D3DBLEND_BOTHSRCALPHA:  // only as a destination: the source case is ToGlBlendPair's
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
    case D3DBLEND_BOTHINVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return destinationAlpha ? GL_DST_ALPHA : GL_ONE;
    case D3DBLEND_INVDESTALPHA:
      return destinationAlpha ? GL_ONE_MINUS_DST_ALPHA : GL_ZERO;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BLENDFACTOR:
      return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
      return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
      assert(!"ToGlBlendFactor: invalid blend factor");
      return GL_ONE;
  }
}

std::array<GLenum, 2> ToGlBlendPair(DWORD source, DWORD destination, bool destinationAlpha) {
  if (source == D3DBLEND_BOTHSRCALPHA) return {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
  if (source == D3DBLEND_BOTHINVSRCALPHA) return {GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA};
  return {ToGlBlendFactor(source, destinationAlpha),
          ToGlBlendFactor(destination, destinationAlpha)};
}

GLenum ToGlCullFace(DWORD cull) {
  // Front faces are clockwise: CW culls those, CCW the others.
  switch (cull) {
    case D3DCULL_CW:
      return GL_FRONT;
    case D3DCULL_CCW:
      return GL_BACK;
    default:
      assert(!"ToGlCullFace: invalid cull mode");
      return GL_BACK;
  }
}

GLenum ToGlPolygonMode(DWORD fill) {
  switch (fill) {
    case D3DFILL_POINT:
      return GL_POINT;
    case D3DFILL_WIREFRAME:
      return GL_LINE;
    case D3DFILL_SOLID:
      return GL_FILL;
    default:
      assert(!"ToGlPolygonMode: invalid fill mode");
      return GL_FILL;
  }
}

GLint ToGlAddress(DWORD mode) {
  switch (mode) {
    case D3DTADDRESS_WRAP:
      return GL_REPEAT;
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
      return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    default:
      assert(!"ToGlAddress: invalid texture address mode");
      return GL_REPEAT;
  }
}

GLint ToGlMagFilter(DWORD filter) {
  switch (filter) {
    case D3DTEXF_POINT:
      return GL_NEAREST;
    case D3DTEXF_LINEAR:
      return GL_LINEAR;
    default:
      assert(!"ToGlMagFilter: invalid magnification filter");
      return GL_NEAREST;
  }
}

GLint ToGlMinFilter(DWORD minFilter, DWORD mipFilter) {
  bool linear = false;
  switch (minFilter) {
    case D3DTEXF_NONE:  // no filter at all samples one texel
    case D3DTEXF_POINT:
      break;
    case D3DTEXF_LINEAR:
      linear = true;
      break;
    default:
      assert(!"ToGlMinFilter: invalid minification filter");
      break;
  }
  switch (mipFilter) {
    case D3DTEXF_NONE:
      return linear ? GL_LINEAR : GL_NEAREST;
    case D3DTEXF_POINT:
      return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case D3DTEXF_LINEAR:
      return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default:
      assert(!"ToGlMinFilter: invalid mipmap filter");
      return linear ? GL_LINEAR : GL_NEAREST;
  }
}

GLenum ToGlIndexType(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_INDEX16:
      return GL_UNSIGNED_SHORT;
    case D3DFMT_INDEX32:
      return GL_UNSIGNED_INT;
    default:
      assert(!"ToGlIndexType: invalid index format");
      return GL_UNSIGNED_SHORT;
  }
}

std::array<GLfloat, 4> ToGlColor(D3DCOLOR c) {
  return {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
          ((c >> 24) & 0xFF) / 255.0f};
}
