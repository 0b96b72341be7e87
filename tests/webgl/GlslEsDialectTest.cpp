// The WebGL2 dialect of the shader generator, compiled and linked by Mesa's OpenGL ES 3.0
// (the language WebGL2 takes) for the kinds of draws the shows make: lit and unlit,
// textured through several stages, pre-transformed, alpha-tested, points and sprites.
#include <epoxy/egl.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/FixedFunctionKey.h"
#include "platform/d3d9/FixedFunctionShader.h"
#include "platform/d3d9/VertexLayout.h"

namespace {

class GlesContext {
 public:
  GlesContext() {
    // As the layer's own headless contexts: one rasterizer thread, which LeakSanitizer's
    // exit-time scan survives.
    setenv("LP_NUM_THREADS", "1", 0);
    display_ = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) return;
    if (!eglBindAPI(EGL_OPENGL_ES_API)) return;
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0,
                                 EGL_NONE};
    context_ = eglCreateContext(display_, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context_ == EGL_NO_CONTEXT) return;
    ok_ = eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
  }
  ~GlesContext() {
    if (context_ != EGL_NO_CONTEXT) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      eglDestroyContext(display_, context_);
    }
    eglBindAPI(EGL_OPENGL_API);
  }
  bool ok() const { return ok_; }

 private:
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  bool ok_ = false;
};

// Empty when the program links; otherwise the compiler's words.
std::string CompileAndLink(const FixedFunctionSource& source) {
  std::string log;
  auto compile = [&log](GLenum type, const std::string& text) {
    GLuint shader = glCreateShader(type);
    const char* chars = text.c_str();
    glShaderSource(shader, 1, &chars, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char info[2048] = {};
      glGetShaderInfoLog(shader, sizeof info, nullptr, info);
      log += info + std::string("\n") + text;
    }
    return shader;
  };
  GLuint vertex = compile(GL_VERTEX_SHADER, source.vertex);
  GLuint fragment = compile(GL_FRAGMENT_SHADER, source.fragment);
  GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked && log.empty()) {
    char info[2048] = {};
    glGetProgramInfoLog(program, sizeof info, nullptr, info);
    log = info;
  }
  glDeleteProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  return log;
}

struct Draw {
  const char* name;
  DWORD fvf;
  bool points;
  void (*setUp)(DeviceState&);
};

void Lit(DeviceState& s) {
  s.render[D3DRS_LIGHTING] = TRUE;
  s.render[D3DRS_SPECULARENABLE] = TRUE;
  s.lights[0] = LightSlot{DefaultLight(), true};
  D3DLIGHT9 point = DefaultLight();
  point.Type = D3DLIGHT_POINT;
  s.lights[1] = LightSlot{point, true};
  D3DLIGHT9 spot = DefaultLight();
  spot.Type = D3DLIGHT_SPOT;
  s.lights[2] = LightSlot{spot, true};
}

void TwoStages(DeviceState& s) {
  s.stage[1][D3DTSS_COLOROP] = D3DTOP_MODULATE2X;
  s.stage[1][D3DTSS_COLORARG1] = D3DTA_TEXTURE | D3DTA_COMPLEMENT;
  s.stage[1][D3DTSS_COLORARG2] = D3DTA_CURRENT | D3DTA_ALPHAREPLICATE;
  s.stage[1][D3DTSS_ALPHAOP] = D3DTOP_LERP;
  s.stage[1][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_SPHEREMAP | 1;
  s.stage[1][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
  s.render[D3DRS_ALPHATESTENABLE] = TRUE;
  s.render[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
}

void Sprites(DeviceState& s) {
  s.render[D3DRS_POINTSPRITEENABLE] = TRUE;
  s.render[D3DRS_POINTSCALEENABLE] = TRUE;
}

void Nothing(DeviceState&) {}

TEST(GlslEsDialect, GeneratedProgramsCompileForOpenGlEs3) {
  GlesContext context;
  if (!context.ok()) GTEST_SKIP() << "no OpenGL ES 3.0 context from EGL";
  const Draw draws[] = {
      {"pre-transformed picture", D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, false, Nothing},
      {"lit mesh", D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, false, Lit},
      {"two stages and alpha test", D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX2,
       false, TwoStages},
      {"plain points", D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, true, Nothing},
      {"scaled sprites", D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_PSIZE, true, Sprites},
  };
  for (const Draw& draw : draws) {
    DeviceState state;
    ResetDeviceState(&state, true, 64, 64);
    state.fvf = draw.fvf;
    draw.setUp(state);
    VertexLayout layout;
    ASSERT_TRUE(DecodeFvf(draw.fvf, &layout)) << draw.name;
    std::array<bool, kStageCount> bound{};
    bound[0] = bound[1] = true;
    const FixedFunctionKey key = BuildFixedFunctionKey(state, layout, bound, draw.points);
    const FixedFunctionSource source = GenerateFixedFunctionSource(key, GlslDialect::GlslEs300);
    EXPECT_TRUE(source.geometry.empty()) << draw.name << ": WebGL2 has no geometry stage";
    EXPECT_EQ(source.vertex.rfind("#version 300 es", 0), 0u) << draw.name;
    EXPECT_EQ(CompileAndLink(source), "") << draw.name;
    if (draw.points) {
      EXPECT_NE(source.vertex.find("gl_PointSize"), std::string::npos) << draw.name;
    }
    // No sampler bias in WebGL2: every lookup adds its stage's.
    if (draw.fvf & D3DFVF_TEX1) {
      EXPECT_NE(source.fragment.find("fs_tex0, uLodBias[0])"), std::string::npos) << draw.name;
      EXPECT_EQ(GenerateFixedFunctionSource(key).fragment.find("uLodBias"), std::string::npos);
    }
  }
}

TEST(GlslEsDialect, SpritesReadTheirCoordinatesFromTheGlPointTopDown) {
  DeviceState state;
  ResetDeviceState(&state, true, 64, 64);
  state.fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
  Sprites(state);
  VertexLayout layout;
  ASSERT_TRUE(DecodeFvf(state.fvf, &layout));
  std::array<bool, kStageCount> bound{};
  bound[0] = true;
  const FixedFunctionKey key = BuildFixedFunctionKey(state, layout, bound, true);
  const std::string es = GenerateFixedFunctionSource(key, GlslDialect::GlslEs300).fragment;
  // The layer's image is stored upside down: the point's top is Direct3D's t = 1.
  EXPECT_NE(es.find("vec2(gl_PointCoord.x, 1.0 - gl_PointCoord.y)"), std::string::npos);
  // The desktop dialect keeps its geometry stage and never reads gl_PointCoord.
  const FixedFunctionSource desktop = GenerateFixedFunctionSource(key);
  EXPECT_FALSE(desktop.geometry.empty());
  EXPECT_EQ(desktop.fragment.find("gl_PointCoord"), std::string::npos);
}

}  // namespace
