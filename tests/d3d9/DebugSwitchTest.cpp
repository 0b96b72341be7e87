// Debug switches: read from the environment, and each does what it says. OpenGL errors
// reach the host's handler, or end the process with the driver's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "d3d9/D3D9TestDevice.h"
#include "platform/d3d9/GlDebug.h"
#include "platform/d3d9/HostSeams.h"
#include "platform/d3d9/d3d9host.h"
#include "support/TempDir.h"

namespace {

d3d9_internal::DebugSwitches Read(std::map<std::string, std::string> environment) {
  return d3d9_internal::ReadDebugSwitches([&](const char* name) -> const char* {
    auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  });
}

}  // namespace

TEST(DebugSwitches, ComeFromTheEnvironment) {
  d3d9_internal::DebugSwitches none = Read({});
  EXPECT_FALSE(none.fullStateApply);
  EXPECT_TRUE(none.shaderDumpFolder.empty());
#ifdef NDEBUG
  EXPECT_FALSE(none.glChecks);
#else
  EXPECT_TRUE(none.glChecks);  // on wherever assertions are
#endif
  d3d9_internal::DebugSwitches on =
      Read({{"SHOW_GL_FULL_STATE", "1"}, {"SHOW_GL_DUMP_SHADERS", "/tmp/x"}, {"SHOW_GL_CHECK", "1"}});
  EXPECT_TRUE(on.fullStateApply);
  EXPECT_EQ(on.shaderDumpFolder, "/tmp/x");
  EXPECT_TRUE(on.glChecks);
  for (const char* off : {"0", "off", ""}) {
    d3d9_internal::DebugSwitches d = Read({{"SHOW_GL_FULL_STATE", off}, {"SHOW_GL_CHECK", off}});
    EXPECT_FALSE(d.fullStateApply) << off;
    EXPECT_FALSE(d.glChecks) << off;
  }
}

TEST(DebugSwitches, ShaderDumpWritesEachGeneratedProgram) {
  TempDir folder;
  D3D9SetShaderDumpFolder(folder.path());
  {
    TestDevice device(8, 8);
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    DrawFullScreenColor(device.device, 0xFFFF0000);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    D3DVECTOR point{0, 0, 0.5f};
    device->SetFVF(D3DFVF_XYZ);
    device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
  }
  D3D9SetShaderDumpFolder("");
  int vertex = 0, geometry = 0, fragment = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    std::string extension = entry.path().extension().string();
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().rfind("#version 330", 0), 0u) << entry.path();
    vertex += extension == ".vert";
    geometry += extension == ".geom";
    fragment += extension == ".frag";
  }
  EXPECT_EQ(vertex, 2);
  EXPECT_EQ(fragment, 2);
  EXPECT_EQ(geometry, 1);  // point sprites are expanded by a geometry stage
}

TEST(GlChecks, AnOpenGlErrorReachesTheHandler) {
  D3D9SetGlChecks(true);
  std::vector<std::string> errors;
  D3D9SetGlErrorHandler([&](const std::string& message) { errors.push_back(message); });
  {
    TestDevice device(8, 8);
    ASSERT_TRUE(device.ok());
    DrawFullScreenColor(device.device, 0xFF00FF00);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    RaiseGlTestError("raised by the test");
  }
  D3D9SetGlErrorHandler(nullptr);
  D3D9SetGlChecks(d3d9_internal::ReadDebugSwitches(std::getenv).glChecks);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("raised by the test"), std::string::npos) << errors[0];
}

TEST(GlChecksDeathTest, WithoutAHandlerAnErrorEndsTheProcessWithItsText) {
  EXPECT_DEATH(
      {
        D3D9SetGlChecks(true);
        TestDevice device(8, 8);
        RaiseGlTestError("raised by the test");
      },
      "OpenGL error: raised by the test");
}
