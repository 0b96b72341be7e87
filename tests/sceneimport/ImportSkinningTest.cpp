// Skinned meshes posed by their animated bones into vertex frames, and whole vertex
// key frames kept as vertex frames.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "sceneimport/ImportTestSupport.h"
#include "tools/sceneimport/SceneBuilder.h"

namespace {

using namespace sceneimport;

// Two bones: "hip" at the origin and "arm" one unit up, turning a quarter about z
// over one second. A thin triangle: two corners on the hip, the tip two units up on
// the arm; a fourth vertex is shared half and half.
ImportScene TwoBoneScene() {
  ImportScene scene;
  ImportNode model, hip, arm;
  model.name = "model";
  model.mesh = 0;
  hip.name = "hip";
  hip.parent = -1;
  arm.name = "arm";
  arm.parent = 1;
  arm.local.translation = {0, 1, 0};
  hip.children = {2};
  scene.nodes = {model, hip, arm};
  scene.roots = {0, 1};
  ImportPrimitive p;
  p.positions = {{0, 0, 0}, {0.1f, 0, 0}, {0, 2, 0}, {0.1f, 2, 0}};
  p.indices = {0, 1, 2, 1, 3, 2};
  ImportBone hipBone, armBone;
  hipBone.nodeName = "hip";
  hipBone.node = 1;
  hipBone.weights = {{0, 1}, {1, 1}, {3, 0.5f}};
  armBone.nodeName = "arm";
  armBone.node = 2;
  armBone.offset = Compose({0, -1, 0}, {0, 0, 0, 1}, {1, 1, 1});  // the arm's bind pose, inverted
  armBone.weights = {{2, 1}, {3, 0.5f}};
  p.bones = {hipBone, armBone};
  ImportMesh mesh;
  mesh.name = "skin";
  mesh.primitives.push_back(p);
  scene.meshes.push_back(mesh);
  ImportAnimation animation;
  ImportChannel turn;
  turn.node = 2;
  turn.path = ChannelPath::Rotation;
  turn.width = 4;
  turn.times = {0, 1};
  const float s = std::sin(3.14159265f / 4);
  turn.values = {0, 0, 0, 1, 0, 0, s, s};
  animation.channels.push_back(turn);
  scene.animations.push_back(animation);
  return scene;
}

TEST(ImportSkinning, VerticesFollowTheirBonesAtEveryFrame) {
  TempDir dir;
  ImportOptions options;
  options.fps = 4;
  options.output = dir.file("scene.psk");
  ImportReport report;
  SceneBuilder builder(TwoBoneScene(), options, dir.path(), dir.path(), &report);
  std::string error;
  ASSERT_TRUE(builder.Build(&error)) << error;
  ASSERT_TRUE(builder.Writer().Save(options.output));
  SceneFile file = ReadSceneFile(options.output);
  ASSERT_TRUE(file.valid) << file.problem;
  ASSERT_EQ(file.meshes.size(), 1u);
  const ReadVertexBuffer& vb = file.vertexBuffers.at(file.meshes[0].vertexBuffer);
  ASSERT_EQ(vb.frames, 5u);  // one second at four frames a second, both ends
  ASSERT_EQ(vb.extraFrames.size(), 4u);
  ASSERT_EQ(file.vertexControllers.size(), 1u);
  EXPECT_EQ(file.vertexControllers[0].times, (std::array<std::uint32_t, 4>{0, 1000, 0, 1000}));
  // Find the tip (glTF (0, 2, 0), scene (0, 0, 2)) and the hip corner by their rest places.
  auto find = [&](float x, float y, float z) {
    for (std::size_t v = 0; v < vb.vertices.size(); ++v) {
      const auto& p = vb.vertices[v].position;
      if (std::abs(p[0] - x) < 1e-4 && std::abs(p[1] - y) < 1e-4 && std::abs(p[2] - z) < 1e-4) return v;
    }
    return vb.vertices.size();
  };
  std::size_t tip = find(0, 0, 2), corner = find(0.1f, 0, 0), shared = find(0.1f, 0, 2);
  ASSERT_LT(tip, vb.vertices.size());
  ASSERT_LT(corner, vb.vertices.size());
  ASSERT_LT(shared, vb.vertices.size());
  // Frame 2 (0.5 s): the arm has turned 45 degrees; frame 4 (1 s): 90 degrees, the tip
  // at source (-1, 1, 0), scene (-1, 0, 1).
  const float h = std::sqrt(0.5f);
  const auto& half = vb.extraFrames[1];
  EXPECT_NEAR(half[tip][0], -h, 1e-4);
  EXPECT_NEAR(half[tip][1], 0, 1e-4);
  EXPECT_NEAR(half[tip][2], 1 + h, 1e-4);
  const auto& end = vb.extraFrames[3];
  EXPECT_NEAR(end[tip][0], -1, 1e-4);
  EXPECT_NEAR(end[tip][2], 1, 1e-4);
  // The hip does not move; the shared vertex goes half way between its two bones' places:
  // on the hip (0.1, 2, 0), on the turned arm (-1, 1.1, 0).
  EXPECT_NEAR(end[corner][0], 0.1f, 1e-4);
  EXPECT_NEAR(end[corner][2], 0, 1e-4);
  EXPECT_NEAR(end[shared][0], (0.1f - 1) / 2, 1e-4);
  EXPECT_NEAR(end[shared][2], (2 + 1.1f) / 2, 1e-4);
  EXPECT_FALSE(report.Mentions("skinning"));
}

TEST(ImportSkinning, WithoutAnimationTheMeshTakesItsPoseAtTimeZero) {
  TempDir dir;
  ImportScene scene = TwoBoneScene();
  scene.animations.clear();
  scene.nodes[2].local.rotation = {0, 0, std::sin(3.14159265f / 4), std::cos(3.14159265f / 4)};
  ImportOptions options;
  options.output = dir.file("scene.psk");
  ImportReport report;
  SceneBuilder builder(std::move(scene), options, dir.path(), dir.path(), &report);
  std::string error;
  ASSERT_TRUE(builder.Build(&error)) << error;
  ASSERT_TRUE(builder.Writer().Save(options.output));
  SceneFile file = ReadSceneFile(options.output);
  ASSERT_EQ(file.meshes.size(), 1u);
  const ReadVertexBuffer& vb = file.vertexBuffers.at(file.meshes[0].vertexBuffer);
  EXPECT_EQ(vb.frames, 1u);
  bool tipTurned = false;
  for (const auto& v : vb.vertices)
    tipTurned = tipTurned || (std::abs(v.position[0] + 1) < 1e-4 && std::abs(v.position[2] - 1) < 1e-4);
  EXPECT_TRUE(tipTurned) << "the tip belongs at scene (-1, 0, 1), the arm turned a quarter";
}

// Debian's sample MD2 model, when installed: 198 key frames, ten a second.
TEST(ImportSkinning, EveryKeyFrameOfAnMd2ModelBecomesAVertexFrame) {
  const std::string model = "/usr/share/assimp/models/MD2/faerie.md2";
  if (!std::filesystem::exists(model)) GTEST_SKIP() << "assimp-testmodels is not installed";
  TempDir dir;
  ImportResult r = ImportFile(model, dir.file("scene.psk"));
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.file.meshes.size(), 1u);
  const ReadVertexBuffer& vb = r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer);
  EXPECT_EQ(vb.frames, 198u);
  ASSERT_EQ(r.file.vertexControllers.size(), 1u);
  EXPECT_EQ(r.file.vertexControllers[0].times, (std::array<std::uint32_t, 4>{0, 19700, 0, 19700}));
  // The figure moves: some vertex is elsewhere half way through.
  float moved = 0;
  for (std::size_t v = 0; v < vb.vertices.size(); ++v)
    for (int k = 0; k < 3; ++k) moved = std::max(moved, std::abs(vb.extraFrames[98][v][k] - vb.vertices[v].position[k]));
  EXPECT_GT(moved, 0.5f);
}

}  // namespace
