#include "platform/d3d9/ShaderCache.h"

#include <cstdio>
#include <string>

#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/FixedFunctionShader.h"
#include "platform/d3d9/GlFlavour.h"
#include "platform/d3d9/d3d9host.h"

namespace {

GLuint Compile(GLenum type, const std::string& source) {
  GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    ReportError(D3DERR_DRIVERINTERNALERROR, "generated shader does not compile: %s\n%s", log,
                source.c_str());
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint Link(const FixedFunctionSource& source) {
  GLuint vertex = Compile(GL_VERTEX_SHADER, source.vertex);
  GLuint geometry = source.geometry.empty() ? 0 : Compile(GL_GEOMETRY_SHADER, source.geometry);
  GLuint fragment = Compile(GL_FRAGMENT_SHADER, source.fragment);
  GLuint program = 0;
  if (vertex && fragment && (geometry || source.geometry.empty())) {
    program = glCreateProgram();
    glAttachShader(program, vertex);
    if (geometry) glAttachShader(program, geometry);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
      char log[2048] = {};
      glGetProgramInfoLog(program, sizeof log, nullptr, log);
      ReportError(D3DERR_DRIVERINTERNALERROR, "generated program does not link: %s", log);
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vertex) glDeleteShader(vertex);
  if (geometry) glDeleteShader(geometry);
  if (fragment) glDeleteShader(fragment);
  return program;
}

// The SHOW_GL_DUMP_SHADERS switch; a file that cannot be written is reported, not fatal.
// Named by the key's hash, so that every device of a run can dump into one folder.
void Dump(const std::string& folder, const FixedFunctionKey& key,
          const FixedFunctionSource& source) {
  char name[40];
  std::snprintf(name, sizeof name, "/program-%016zx", FixedFunctionKeyHash{}(key));
  auto write = [&](const char* extension, const std::string& text) {
    if (text.empty()) return;
    std::string path = folder + name + extension;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) ReportError(D3D_OK, "cannot write the generated shader %s", path.c_str());
  };
  write(".vert", source.vertex);
  write(".geom", source.geometry);
  write(".frag", source.fragment);
}

}  // namespace

ShaderCache::~ShaderCache() { Clear(); }

void ShaderCache::Clear() {
  for (auto& entry : programs_)
    if (entry.second->program) glDeleteProgram(entry.second->program);
  programs_.clear();
}

FixedFunctionProgram* ShaderCache::Get(const FixedFunctionKey& key, GlStateCache& gl) {
  auto found = programs_.find(key);
  if (found != programs_.end()) return found->second->program ? found->second.get() : nullptr;

  auto entry = std::make_unique<FixedFunctionProgram>();
  FixedFunctionProgram& p = *entry;
  const FixedFunctionSource source = GenerateFixedFunctionSource(key, GlShaderDialect());
  if (const std::string& folder = D3D9ShaderDumpFolder(); !folder.empty())
    Dump(folder, key, source);
  p.program = Link(source);
  p.lightCount = key.lightCount;
  if (p.program) {
    auto at = [&](const char* name) { return glGetUniformLocation(p.program, name); };
    p.worldView = at("uWorldView");
    p.projection = at("uProjection");
    p.normalMatrix = at("uNormalMatrix");
    p.viewport = at("uViewport");
    p.textureMatrix = at("uTextureMatrix");
    p.materialDiffuse = at("uMaterialDiffuse");
    p.materialAmbient = at("uMaterialAmbient");
    p.materialSpecular = at("uMaterialSpecular");
    p.materialEmissive = at("uMaterialEmissive");
    p.materialPower = at("uMaterialPower");
    p.globalAmbient = at("uGlobalAmbient");
    p.lightDiffuse = at("uLightDiffuse");
    p.lightSpecular = at("uLightSpecular");
    p.lightAmbient = at("uLightAmbient");
    p.lightPosition = at("uLightPosition");
    p.lightDirection = at("uLightDirection");
    p.lightAttenuation = at("uLightAttenuation");
    p.lightSpot = at("uLightSpot");
    p.pointSize = at("uPointSize");
    p.pointScale = at("uPointScale");
    p.textureFactor = at("uTextureFactor");
    p.alphaRef = at("uAlphaRef");
    p.lodBias = at("uLodBias");
    gl.UseProgram(p.program);
    for (int stage = 0; stage < 8; ++stage) {
      std::string name = "uSampler" + std::to_string(stage);
      GLint location = at(name.c_str());
      if (location >= 0) glUniform1i(location, stage);
    }
  }
  FixedFunctionProgram* result = p.program ? entry.get() : nullptr;
  programs_.emplace(key, std::move(entry));
  return result;
}
