#include "platform/d3d9/FixedFunctionShader.h"

#include <cassert>

namespace {

std::string Header(GlslDialect dialect) {
  if (dialect == GlslDialect::GlslEs300)
    return "#version 300 es\nprecision highp float;\nprecision highp int;\n";
  return "#version 330 core\n";
}

// ---- Vertex stage -------------------------------------------------------------------

const char* kVertexUniforms = R"(
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform vec4 uViewport;
uniform mat4 uTextureMatrix[8];
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmissive;
uniform float uMaterialPower;
uniform vec4 uGlobalAmbient;
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightSpecular[8];
uniform vec4 uLightAmbient[8];
uniform vec3 uLightPosition[8];
uniform vec3 uLightDirection[8];
uniform vec4 uLightAttenuation[8];
uniform vec3 uLightSpot[8];
uniform vec3 uPointSize;
uniform vec3 uPointScale;
)";

std::string MaterialColor(int source, const char* material) {
  if (source == D3DMCS_COLOR1) return "aDiffuse";
  if (source == D3DMCS_COLOR2) return "aSpecular";
  return material;
}

// Padding of a passed-through coordinate before its transform: the first missing
// component is 1, the later ones 0.
std::string PaddedCoordinate(int set, int size) {
  std::string a = "aTexCoord" + std::to_string(set);
  switch (size) {
    case 1:
      return "vec4(" + a + ".x, 1.0, 0.0, 0.0)";
    case 2:
      return "vec4(" + a + ".xy, 1.0, 0.0)";
    case 3:
      return "vec4(" + a + ".xyz, 1.0)";
    case 4:
      return a;
    default:
      assert(!"PaddedCoordinate: a coordinate set has 1 to 4 components");
      return "vec4(0.0, 0.0, 1.0, 0.0)";
  }
}

void EmitLight(std::string& s, const FixedFunctionKey& key, int i) {
  std::string n = std::to_string(i);
  int type = key.lightType[i];
  s += "  {\n";
  if (type == D3DLIGHT_DIRECTIONAL) {
    s += "    vec3 L = -uLightDirection[" + n + "];\n    float att = 1.0;\n";
  } else {
    s += "    vec3 toLight = uLightPosition[" + n + "] - eye.xyz;\n";
    s += "    float dist = length(toLight);\n";
    s += "    vec4 A = uLightAttenuation[" + n + "];\n";
    s += "    float inRange = dist > A.x ? 0.0 : 1.0;\n";
    s += "    vec3 L = dist > 0.0 ? toLight / dist : vec3(0.0, 0.0, -1.0);\n";
    s += "    float att = inRange / max(A.y + A.z * dist + A.w * dist * dist, 1e-20);\n";
    if (type == D3DLIGHT_SPOT) {
      s += "    vec3 S = uLightSpot[" + n + "];\n";
      s += "    float rho = dot(-L, uLightDirection[" + n + "]);\n";
      s += "    float spot = rho > S.x ? 1.0 : (rho <= S.y ? 0.0 : "
           "pow(max((rho - S.y) / (S.x - S.y), 0.0), S.z));\n";
      s += "    att *= spot;\n";
    }
  }
  s += "    ambientSum += uLightAmbient[" + n + "].rgb * att;\n";
  if (key.hasNormal) {
    s += "    float NdotL = dot(N, L);\n";
    s += "    diffuseSum += uLightDiffuse[" + n + "].rgb * clamp(NdotL, 0.0, 1.0) * att;\n";
    if (key.specularEnable) {
      s += "    vec3 H = normalize(L + V);\n";
      s += "    float NdotH = dot(N, H);\n";
      s += "    if (NdotL > 0.0 && NdotH > 0.0)\n";
      s += "      specularSum += uLightSpecular[" + n +
           "].rgb * pow(NdotH, uMaterialPower) * att;\n";
    }
  }
  s += "  }\n";
}

// Inputs, uniforms and outputs; `out` is their prefix, "vs_" when a geometry stage follows.
void EmitVertexDeclarations(std::string& s, const FixedFunctionKey& key, const char* out,
                            GlslDialect dialect) {
  s += Header(dialect);
  s += "layout(location = 0) in vec4 aPosition;\n";
  if (key.hasNormal) s += "layout(location = 1) in vec3 aNormal;\n";
  if (key.hasPointSize) s += "layout(location = 2) in float aPointSize;\n";
  // A D3DCOLOR is the bytes B, G, R, A in memory, read as four unsigned bytes. Absent
  // colours read the constant attribute values: diffuse white, specular 0.
  s += "layout(location = 3) in vec4 aDiffuseBgra;\n";
  s += "layout(location = 4) in vec4 aSpecularBgra;\n";
  for (int set = 0; set < 8; ++set)
    if (key.texSetSize[set])
      s += "layout(location = " + std::to_string(5 + set) + ") in vec4 aTexCoord" +
           std::to_string(set) + ";\n";
  s += kVertexUniforms;
  s += std::string("out vec4 ") + out + "diffuse;\nout vec4 " + out + "specular;\n";
  for (int st = 0; st < key.stageCount; ++st)
    if (key.stages[st].sampled) s += std::string("out vec2 ") + out + "tex" + std::to_string(st) + ";\n";
  if (key.points && dialect == GlslDialect::Glsl330)
    s += std::string("out float ") + out + "pointSize;\n";
}

// gl_Position and the camera-space position `eye`, in Direct3D's conventions.
void EmitVertexPosition(std::string& s, const FixedFunctionKey& key) {
  if (key.rhw) {
    s += "  float w = aPosition.w == 0.0 ? 1.0 : 1.0 / aPosition.w;\n";
    s += "  vec3 ndc = vec3((aPosition.x + 0.5 - uViewport.x) * 2.0 / uViewport.z - 1.0,\n";
    s += "                  (aPosition.y + 0.5 - uViewport.y) * 2.0 / uViewport.w - 1.0,\n";
    s += "                  2.0 * aPosition.z - 1.0);\n";
    s += "  gl_Position = vec4(ndc * w, w);\n";
    s += "  vec4 eye = vec4(0.0, 0.0, 0.0, 1.0);\n";
  } else {
    s += "  vec4 eye = uWorldView * vec4(aPosition.xyz, 1.0);\n";
    s += "  vec4 clip = uProjection * eye;\n";
    // Direct3D's pixel centres sit half a pixel from OpenGL's; its image is stored
    // top-down, and its clip depth runs 0..w.
    s += "  gl_Position = vec4(clip.x + clip.w / uViewport.z, -clip.y + clip.w / uViewport.w,\n";
    s += "                     2.0 * clip.z - clip.w, clip.w);\n";
  }
  bool needNormal = key.hasNormal && !key.rhw;
  if (needNormal) {
    s += "  vec3 N = uNormalMatrix * aNormal;\n";
    if (key.normalizeNormals) s += "  if (dot(N, N) > 0.0) N = normalize(N);\n";
  } else {
    s += "  vec3 N = vec3(0.0);\n";
  }
}

// The vertex colours: lit, or passed through.
void EmitVertexColours(std::string& s, const FixedFunctionKey& key, const char* out) {
  if (key.lighting) {
    s += "  vec4 Cd = " + MaterialColor(key.diffuseSource, "uMaterialDiffuse") + ";\n";
    s += "  vec4 Ca = " + MaterialColor(key.ambientSource, "uMaterialAmbient") + ";\n";
    s += "  vec4 Cs = " + MaterialColor(key.specularSource, "uMaterialSpecular") + ";\n";
    s += "  vec4 Ce = " + MaterialColor(key.emissiveSource, "uMaterialEmissive") + ";\n";
    s += "  vec3 ambientSum = vec3(0.0);\n  vec3 diffuseSum = vec3(0.0);\n";
    s += "  vec3 specularSum = vec3(0.0);\n";
    if (key.specularEnable && key.hasNormal)
      s += key.localViewer ? "  vec3 V = dot(eye.xyz, eye.xyz) > 0.0 ? -normalize(eye.xyz) "
                             ": vec3(0.0, 0.0, -1.0);\n"
                           : "  vec3 V = vec3(0.0, 0.0, -1.0);\n";
    for (int i = 0; i < key.lightCount; ++i) EmitLight(s, key, i);
    s += std::string("  ") + out +
         "diffuse = vec4(clamp(Ca.rgb * (uGlobalAmbient.rgb + ambientSum) + Cd.rgb * diffuseSum "
         "+ Ce.rgb, 0.0, 1.0), clamp(Cd.a, 0.0, 1.0));\n";
    if (key.specularEnable)
      s += std::string("  ") + out + "specular = vec4(clamp(Cs.rgb * specularSum, 0.0, 1.0), 0.0);\n";
    else
      s += std::string("  ") + out + "specular = aSpecular;\n";
  } else {
    s += std::string("  ") + out + "diffuse = aDiffuse;\n";
    s += std::string("  ") + out + "specular = aSpecular;\n";
  }
}

// Each sampled stage's coordinates: generated or passed through, then transformed.
void EmitTextureCoordinates(std::string& s, const FixedFunctionKey& key, const char* out) {
  for (int st = 0; st < key.stageCount; ++st) {
    const StageKey& stage = key.stages[st];
    if (!stage.sampled) continue;
    std::string n = std::to_string(st);
    s += "  {\n";
    switch (stage.coordSource) {
      case D3DTSS_TCI_SPHEREMAP >> 16:
        s += "    vec3 R = reflect(dot(eye.xyz, eye.xyz) > 0.0 ? normalize(eye.xyz) : "
             "vec3(0.0, 0.0, 1.0), N);\n";
        s += "    float m = 2.0 * sqrt(R.x * R.x + R.y * R.y + (R.z + 1.0) * (R.z + 1.0));\n";
        s += "    m = max(m, 1e-6);\n";
        s += "    vec4 tc = vec4(R.x / m + 0.5, R.y / m + 0.5, 0.0, 1.0);\n";
        break;
      case D3DTSS_TCI_CAMERASPACENORMAL >> 16:
        s += "    vec4 tc = vec4(N, 1.0);\n";
        break;
      case D3DTSS_TCI_CAMERASPACEPOSITION >> 16:
        s += "    vec4 tc = vec4(eye.xyz, 1.0);\n";
        break;
      case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR >> 16:
        s += "    vec4 tc = vec4(reflect(dot(eye.xyz, eye.xyz) > 0.0 ? normalize(eye.xyz) : "
             "vec3(0.0, 0.0, 1.0), N), 1.0);\n";
        break;
      case D3DTSS_TCI_PASSTHRU >> 16:
        if (stage.coordSet < key.texSetCount)
          s += "    vec4 tc = " + PaddedCoordinate(stage.coordSet, key.texSetSize[stage.coordSet]) +
               ";\n";
        else
          s += "    vec4 tc = vec4(0.0, 0.0, 1.0, 0.0);\n";
        break;
      default:
        assert(!"VertexShader: invalid texture coordinate source");
        s += "    vec4 tc = vec4(0.0, 0.0, 1.0, 0.0);\n";
        break;
    }
    if (stage.transform) s += "    tc = uTextureMatrix[" + n + "] * tc;\n";
    if (stage.transform == 1)
      s += std::string("    ") + out + "tex" + n + " = vec2(tc.x, 0.0);\n";
    else
      s += std::string("    ") + out + "tex" + n + " = tc.xy;\n";
    s += "  }\n";
  }
}

void EmitPointSize(std::string& s, const FixedFunctionKey& key, const char* out,
                   GlslDialect dialect) {
  if (key.points) {
    s += key.hasPointSize ? "  float size = aPointSize;\n" : "  float size = uPointSize.x;\n";
    if (key.pointScale) {
      s += "  float De = length(eye.xyz);\n";
      s += "  float scale = uPointScale.x + uPointScale.y * De + uPointScale.z * De * De;\n";
      s += "  size = scale > 0.0 ? uViewport.w * size * sqrt(1.0 / scale) : uPointSize.z;\n";
    }
    s += "  size = clamp(size, uPointSize.y, uPointSize.z);\n";
    if (dialect == GlslDialect::GlslEs300) {
      // A point of size 0 draws nothing: it is moved outside the clip volume.
      s += "  gl_PointSize = size;\n";
      s += "  if (!(size > 0.0)) gl_Position = vec4(2.0, 2.0, 2.0, 1.0);\n";
    } else {
      s += std::string("  ") + out + "pointSize = size;\n";
    }
  }
}

std::string VertexShader(const FixedFunctionKey& key, const char* out, GlslDialect dialect) {
  std::string s;
  EmitVertexDeclarations(s, key, out, dialect);
  s += "void main() {\n";
  s += "  vec4 aDiffuse = aDiffuseBgra.bgra;\n  vec4 aSpecular = aSpecularBgra.bgra;\n";
  EmitVertexPosition(s, key);
  EmitVertexColours(s, key, out);
  EmitTextureCoordinates(s, key, out);
  EmitPointSize(s, key, out, dialect);
  s += "}\n";
  return s;
}

// ---- Geometry stage (points) --------------------------------------------------------

std::string GeometryShader(const FixedFunctionKey& key) {
  std::string s = Header(GlslDialect::Glsl330);
  s += "layout(points) in;\nlayout(triangle_strip, max_vertices = 4) out;\n";
  s += "uniform vec4 uViewport;\n";
  s += "in vec4 vs_diffuse[];\nin vec4 vs_specular[];\nin float vs_pointSize[];\n";
  s += "out vec4 fs_diffuse;\nout vec4 fs_specular;\n";
  for (int st = 0; st < key.stageCount; ++st) {
    if (!key.stages[st].sampled) continue;
    std::string n = std::to_string(st);
    if (!key.pointSprite) s += "in vec2 vs_tex" + n + "[];\n";
    s += "out vec2 fs_tex" + n + ";\n";
  }
  s += "void main() {\n";
  // A point of size 0 draws nothing.
  s += "  float size = vs_pointSize[0];\n  if (!(size > 0.0)) return;\n";
  s += "  vec4 p = gl_in[0].gl_Position;\n";
  s += "  vec2 halfSize = vec2(size / uViewport.z, size / uViewport.w) * p.w;\n";
  // (s, t) = (0, 0) at the Direct3D top-left: the lowest stored row is the top.
  s += "  const vec2 corners[4] = vec2[4](vec2(0.0, 0.0), vec2(1.0, 0.0), vec2(0.0, 1.0), "
       "vec2(1.0, 1.0));\n";
  s += "  for (int i = 0; i < 4; ++i) {\n";
  s += "    vec2 c = corners[i];\n";
  s += "    gl_Position = p + vec4((c.x * 2.0 - 1.0) * halfSize.x, (c.y * 2.0 - 1.0) * halfSize.y, "
       "0.0, 0.0);\n";
  s += "    fs_diffuse = vs_diffuse[0];\n    fs_specular = vs_specular[0];\n";
  for (int st = 0; st < key.stageCount; ++st) {
    if (!key.stages[st].sampled) continue;
    std::string n = std::to_string(st);
    s += key.pointSprite ? "    fs_tex" + n + " = c;\n" : "    fs_tex" + n + " = vs_tex" + n + "[0];\n";
  }
  s += "    EmitVertex();\n  }\n  EndPrimitive();\n}\n";
  return s;
}

// ---- Fragment stage -----------------------------------------------------------------

std::string Argument(DWORD arg, int stage) {
  std::string base;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
      base = "diffuse";
      break;
    case D3DTA_CURRENT:
      base = "current";
      break;
    case D3DTA_TEXTURE:
      base = "tex" + std::to_string(stage);
      break;
    case D3DTA_TFACTOR:
      base = "uTextureFactor";
      break;
    case D3DTA_SPECULAR:
      base = "specular";
      break;
    case D3DTA_TEMP:
      base = "temp";
      break;
    default:
      assert(!"Argument: invalid stage argument");
      base = "current";
      break;
  }
  if (arg & D3DTA_COMPLEMENT) base = "(vec4(1.0) - " + base + ")";
  if (arg & D3DTA_ALPHAREPLICATE) base = base + ".aaaa";
  return base;
}

// Operation on one channel group: sw is ".rgb" or ".a".
std::string Operation(int op, const std::string a[3], const std::string& sw, int stage) {
  std::string A0 = a[0] + sw, A1 = a[1] + sw, A2 = a[2] + sw;
  std::string tex = "tex" + std::to_string(stage);
  switch (op) {
    case D3DTOP_SELECTARG1:
      return A1;
    case D3DTOP_SELECTARG2:
      return A2;
    case D3DTOP_MODULATE:
      return A1 + " * " + A2;
    case D3DTOP_MODULATE2X:
      return "2.0 * " + A1 + " * " + A2;
    case D3DTOP_MODULATE4X:
      return "4.0 * " + A1 + " * " + A2;
    case D3DTOP_ADD:
      return A1 + " + " + A2;
    case D3DTOP_ADDSIGNED:
      return A1 + " + " + A2 + " - 0.5";
    case D3DTOP_ADDSIGNED2X:
      return "2.0 * (" + A1 + " + " + A2 + " - 0.5)";
    case D3DTOP_SUBTRACT:
      return A1 + " - " + A2;
    case D3DTOP_ADDSMOOTH:
      return A1 + " + " + A2 + " - " + A1 + " * " + A2;
    case D3DTOP_BLENDDIFFUSEALPHA:
      return "mix(" + A2 + ", " + A1 + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
      return "mix(" + A2 + ", " + A1 + ", " + tex + ".a)";
    case D3DTOP_BLENDFACTORALPHA:
      return "mix(" + A2 + ", " + A1 + ", uTextureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
      return A1 + " + " + A2 + " * (1.0 - " + tex + ".a)";
    case D3DTOP_BLENDCURRENTALPHA:
      return "mix(" + A2 + ", " + A1 + ", current.a)";
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
      return A1 + " + " + a[1] + ".a * " + A2;
    case D3DTOP_MODULATECOLOR_ADDALPHA:
      return A1 + " * " + A2 + " + " + a[1] + ".a";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
      return "(1.0 - " + a[1] + ".a) * " + A2 + " + " + A1;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
      return "(1.0 - " + A1 + ") * " + A2 + " + " + a[1] + ".a";
    case D3DTOP_DOTPRODUCT3:
      return "4.0 * dot(" + a[1] + ".rgb - 0.5, " + a[2] + ".rgb - 0.5)";
    case D3DTOP_MULTIPLYADD:
      return A0 + " + " + A1 + " * " + A2;
    case D3DTOP_LERP:
      return "mix(" + A2 + ", " + A1 + ", " + A0 + ")";
    default:
      assert(!"Operation: invalid texture operation");
      return A1;
  }
}

const char* CompareOperator(int func) {
  switch (func) {
    case D3DCMP_LESS:
      return "<";
    case D3DCMP_EQUAL:
      return "==";
    case D3DCMP_LESSEQUAL:
      return "<=";
    case D3DCMP_GREATER:
      return ">";
    case D3DCMP_NOTEQUAL:
      return "!=";
    case D3DCMP_GREATEREQUAL:
      return ">=";
    case 0:  // the alpha test is off
    case D3DCMP_NEVER:
    case D3DCMP_ALWAYS:
      return nullptr;  // no comparison to make
    default:
      assert(!"CompareOperator: invalid alpha function");
      return nullptr;
  }
}

std::string FragmentShader(const FixedFunctionKey& key, GlslDialect dialect) {
  std::string s = Header(dialect);
  s += "in vec4 fs_diffuse;\nin vec4 fs_specular;\n";
  // Without a geometry stage a sprite's coordinates come from the GL point, whose
  // origin is the top of the window; Direct3D's (0, 0) is the top of the stored image,
  // which the layer keeps upside down.
  const bool spriteFromPoint = dialect == GlslDialect::GlslEs300 && key.points && key.pointSprite;
  for (int st = 0; st < key.stageCount; ++st) {
    if (!key.stages[st].sampled) continue;
    std::string n = std::to_string(st);
    if (spriteFromPoint)
      s += "#define fs_tex" + n + " vec2(gl_PointCoord.x, 1.0 - gl_PointCoord.y)\n";
    else
      s += "in vec2 fs_tex" + n + ";\n";
    s += "uniform sampler2D uSampler" + n + ";\n";
  }
  s += "uniform vec4 uTextureFactor;\nuniform float uAlphaRef;\n";
  // WebGL2 samplers have no level-of-detail bias: the lookups add it.
  const bool biasInShader = dialect == GlslDialect::GlslEs300;
  if (biasInShader) s += "uniform float uLodBias[8];\n";
  s += "out vec4 fragColor;\n";
  s += "void main() {\n";
  s += "  vec4 diffuse = fs_diffuse;\n  vec4 specular = fs_specular;\n";
  s += "  vec4 current = diffuse;\n  vec4 temp = vec4(0.0);\n";
  for (int st = 0; st < key.stageCount; ++st) {
    const StageKey& stage = key.stages[st];
    std::string n = std::to_string(st);
    s += "  {\n";
    if (stage.sampled)
      s += "    vec4 tex" + n + " = texture(uSampler" + n + ", fs_tex" + n +
           (biasInShader ? ", uLodBias[" + n + "]);\n" : ");\n");
    std::string colorArgs[3], alphaArgs[3];
    for (int i = 0; i < 3; ++i) {
      colorArgs[i] = Argument(stage.colorArg[i], st);
      alphaArgs[i] = Argument(stage.alphaArg[i], st);
    }
    std::string target = stage.resultTemp ? "temp" : "current";
    if (stage.colorOp == D3DTOP_DOTPRODUCT3) {
      s += "    vec4 result = vec4(clamp(" + Operation(stage.colorOp, colorArgs, ".rgb", st) +
           ", 0.0, 1.0));\n";
    } else {
      s += "    vec4 result = " + target + ";\n";
      s += "    result.rgb = clamp(" + Operation(stage.colorOp, colorArgs, ".rgb", st) +
           ", 0.0, 1.0);\n";
      if (stage.alphaOp != D3DTOP_DISABLE)
        s += "    result.a = clamp(" + Operation(stage.alphaOp, alphaArgs, ".a", st) +
             ", 0.0, 1.0);\n";
    }
    s += "    " + target + " = result;\n";
    s += "  }\n";
  }
  if (key.specularEnable)
    s += "  current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
  if (key.alphaFunc == D3DCMP_NEVER) {
    s += "  discard;\n";
  } else if (const char* op = CompareOperator(key.alphaFunc)) {
    // Compared in 8 bits, as the hardware does: 0x80 passes EQUAL against 0x80.
    s += std::string("  if (!(floor(clamp(current.a, 0.0, 1.0) * 255.0 + 0.5) ") + op +
         " uAlphaRef)) discard;\n";
  }
  s += "  fragColor = current;\n}\n";
  return s;
}

}  // namespace

FixedFunctionSource GenerateFixedFunctionSource(const FixedFunctionKey& key, GlslDialect dialect) {
  FixedFunctionSource source;
  const bool geometryStage = key.points && dialect == GlslDialect::Glsl330;
  source.vertex = VertexShader(key, geometryStage ? "vs_" : "fs_", dialect);
  if (geometryStage) source.geometry = GeometryShader(key);
  source.fragment = FragmentShader(key, dialect);
  return source;
}
