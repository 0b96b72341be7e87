// The sceneimport command: its command line, damaged and unreadable input (a clear
// message, a non-zero status and no output file), and models of other formats.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "sceneimport/ImportTestSupport.h"
#include "support/RunProcess.h"

namespace {

namespace fs = std::filesystem;

ProcessResult RunTool(const std::vector<std::string>& args) { return RunProcess(SHOW_SCENEIMPORT_EXE, args); }

TEST(ImportCommand, BadCommandLinesShowTheUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"only-input.gltf"}, {"a.gltf", "b.psk", "--fps", "0"}, {"a.gltf", "b.psk", "--scale", "-1"},
           {"a.gltf", "b.psk", "--fps"}, {"a.gltf", "b.psk", "--bogus"}}) {
    ProcessResult r = RunTool(args);
    EXPECT_EQ(r.exitCode, 2) << r.output;
    EXPECT_NE(r.output.find("usage: sceneimport"), std::string::npos);
  }
}

TEST(ImportCommand, DamagedAndUnreadableFilesFailWithoutWritingOutput) {
  TempDir dir;
  TestGltf good;
  CubeData cube = Cube(1);
  good.meshes.push_back(MeshJson(good.Floats(cube.positions, "VEC3", true), good.Indices(cube.indices)));
  good.nodes.push_back("{\"name\":\"box\",\"mesh\":0}");
  std::string json = good.Json();
  struct Case {
    std::string name, content, message;
  };
  std::vector<Case> cases = {
      {"cut.gltf", json.substr(0, json.size() / 2), ""},
      {"notjson.gltf", "this is not glTF", ""},
      {"binary.glb", std::string("glTF\x02\0\0\0\xff\xff\0\0", 12), ""},
      // An accessor that claims more elements than its buffer holds.
      {"lying.gltf", [&] {
         std::string s = json;
         s.replace(s.find("\"count\":24"), 10, "\"count\":9999");
         return s;
       }(), "runs past its buffer"},
      {"index.gltf", [&] {
         TestGltf g;
         int p = g.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3", true);
         g.meshes.push_back(MeshJson(p, g.Indices({0, 1, 7})));
         g.nodes.push_back("{\"mesh\":0}");
         return g.Json();
       }(), "index beyond its vertices"},
      {"required.gltf", R"({"asset":{"version":"2.0"},"extensionsRequired":["KHR_draco_mesh_compression"],
          "extensionsUsed":["KHR_draco_mesh_compression"]})", "KHR_draco_mesh_compression"},
      // A count with no buffer behind it must not be allocated.
      {"zeros.gltf", R"({"asset":{"version":"2.0"},"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],
          "meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
          "accessors":[{"componentType":5126,"count":10000000,"type":"VEC3"}]})", "runs past its buffer"},
      {"garbage.dae", "<COLLADA><broken", ""},
      {"noise.3ds", std::string(64, '\x7f'), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string input = dir.write(c.name, c.content);
    std::string output = dir.file(c.name + ".psk");
    ProcessResult r = RunTool({input, output});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("sceneimport: " + input + ": "), std::string::npos) << r.output;
    if (!c.message.empty()) {
      EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    }
    EXPECT_FALSE(fs::exists(output));
    for (const auto& entry : fs::directory_iterator(dir.path()))
      EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
  }
  // A missing input, and an existing output left as it was.
  std::string kept = dir.write("kept.psk", "old");
  ProcessResult r = RunTool({dir.file("absent.gltf"), kept});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("no such file"), std::string::npos);
  std::ifstream in(kept);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "old");
}

TEST(ImportCommand, FrameAddsACameraAndALightThatShowTheModel) {
  TempDir dir;
  TestGltf g;
  CubeData cube = Cube(2);
  g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
  g.nodes.push_back("{\"name\":\"box\",\"mesh\":0,\"translation\":[10,0,0]}");
  std::string input = g.Save(dir);
  ProcessResult plain = RunTool({input, dir.file("plain.psk")});
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_NE(plain.output.find("no camera"), std::string::npos);  // the report comes with the warning
  ProcessResult framed = RunTool({input, dir.file("framed.psk"), "--frame", "--report"});
  ASSERT_EQ(framed.exitCode, 0) << framed.output;
  EXPECT_NE(framed.output.find("cameras 1, lights 1"), std::string::npos) << framed.output;
  SceneFile file = ReadSceneFile(dir.file("framed.psk"));
  ASSERT_TRUE(file.valid) << file.problem;
  const ReadNode* camera = file.Node("frame camera");
  ASSERT_TRUE(camera);
  EXPECT_EQ(camera->type, 4);
  EXPECT_EQ(file.Node("frame light")->lightType, 3);
  // The camera stands back from the box centre (scene (10, 0, 0)).
  float dx = camera->position[0] - 10, dy = camera->position[1], dz = camera->position[2];
  float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
  EXPECT_GT(distance, 2 * std::sqrt(3.0f));
  EXPECT_LT(camera->nearClip, distance - 2 * std::sqrt(3.0f));
  EXPECT_GT(camera->farClip, distance + 2 * std::sqrt(3.0f));
}

// Debian's assimp sample models, when installed.
TEST(ImportCommand, ModelsOfOtherFormatsImport) {
  const std::string models = "/usr/share/assimp/models/";
  if (!fs::exists(models)) GTEST_SKIP() << "assimp-testmodels is not installed";
  struct Model {
    std::string path;
    bool texture, camera, animation;
  };
  for (const auto& m : std::vector<Model>{{"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", true, false, false},
                                          {"Collada/duck.dae", true, true, false},
                                          {"3DS/RotatingCube.3DS", false, false, true},
                                          {"OBJ/WusonOBJ.obj", false, false, false}}) {
    SCOPED_TRACE(m.path);
    TempDir dir;
    ImportResult r = ImportFile(models + m.path, dir.file("scene.psk"));
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(r.file.valid) << r.file.problem;
    EXPECT_GT(r.report.counts.triangles, 10u);
    EXPECT_EQ(r.report.counts.textures > 0, m.texture);
    EXPECT_EQ(r.report.counts.cameras > 0, m.camera);
    EXPECT_EQ(!r.file.controllers.empty(), m.animation);
    for (const auto& [index, name] : r.file.textures) EXPECT_TRUE(fs::exists(dir.file(name))) << name;
  }
}

}  // namespace
