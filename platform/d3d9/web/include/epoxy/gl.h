// The web build's stand-in for libepoxy's header: OpenGL ES 3.0 (WebGL2) as emscripten
// provides it, plus the names of the desktop values the layer's translators and tables
// spell. The functions WebGL2 lacks are never called on this build (see GlFlavour.h).
#pragma once

#include <GLES3/gl3.h>

typedef double GLdouble;
#define GLAPIENTRY
#define GL_BGRA 0x80E1
#define GL_UNSIGNED_INT_8_8_8_8_REV 0x8367
#define GL_CLAMP_TO_BORDER 0x812D
#define GL_TEXTURE_BORDER_COLOR 0x1004
#define GL_TEXTURE_LOD_BIAS 0x8501
#define GL_TEXTURE_SWIZZLE_RGBA 0x8E46
#define GL_GEOMETRY_SHADER 0x8DD9
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
