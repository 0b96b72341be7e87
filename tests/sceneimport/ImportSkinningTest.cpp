// Skinned meshes posed by their animated bones into vertex frames, and whole vertex
// key frames kept as vertex frames.
#include <gtest/gtest.h>

#include <algorithm>
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

// A skinned glTF goes through assimp: its morph targets, their default weights and
// their animation come through too and shape the mesh before the bones pose it.
TEST(ImportSkinning, MorphTargetsOfASkinnedModelShapeItBeforeItsBones) {
  TempDir dir;
  TestGltf g;
  int positions = g.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3", true);
  int deltas = g.Floats({0, 0, 0, 0, 0, 0, 0, 0, 2}, "VEC3", true);  // the top corner moves 2 along glTF z
  int joints = g.Joints(std::vector<std::uint16_t>(12, 0));
  int weights = g.Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
  g.meshes.push_back("{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(positions) +
                     ",\"JOINTS_0\":" + std::to_string(joints) + ",\"WEIGHTS_0\":" + std::to_string(weights) +
                     "},\"indices\":" + std::to_string(g.Indices({0, 1, 2})) + ",\"targets\":[{\"POSITION\":" +
                     std::to_string(deltas) + "}]}],\"weights\":[0.25]}");
  g.nodes = {"{\"name\":\"skinned\",\"mesh\":0,\"skin\":0}", "{\"name\":\"root\"}"};
  g.skins = {"{\"joints\":[1],\"inverseBindMatrices\":" +
             std::to_string(g.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "MAT4")) + "}"};
  // The weight goes from 0 to 1 over a second.
  g.animations = {"{\"samplers\":[{\"input\":" + std::to_string(g.Floats({0, 1}, "SCALAR", true)) +
                  ",\"output\":" + std::to_string(g.Floats({0, 1}, "SCALAR")) +
                  "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"weights\"}}]}"};
  ImportOptions options;
  options.fps = 4;
  ImportResult r = Import(dir, g, options);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(r.report.Mentions("morph")) << "nothing about the morph target is lost";
  ASSERT_EQ(r.file.meshes.size(), 1u);
  const ReadVertexBuffer& vb = r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer);
  ASSERT_EQ(vb.frames, 5u);
  // The top corner: glTF (0, 1, 2w), scene (0, 2w, 1), w = t.
  std::size_t top = vb.vertices.size();
  for (std::size_t v = 0; v < vb.vertices.size(); ++v)
    if (std::abs(vb.vertices[v].position[2] - 1) < 1e-4) top = v;
  ASSERT_LT(top, vb.vertices.size());
  EXPECT_NEAR(vb.vertices[top].position[1], 0, 1e-4);
  EXPECT_NEAR(vb.extraFrames[1][top][1], 1, 1e-4);  // frame 2, 0.5 s
  EXPECT_NEAR(vb.extraFrames[3][top][1], 2, 1e-4);  // frame 4, 1 s
  EXPECT_NEAR(vb.extraFrames[3][top][2], 1, 1e-4);

  // Without the animation the default weight holds.
  g.animations.clear();
  TempDir still;
  ImportResult s = Import(still, g, options);
  ASSERT_EQ(s.status, 0) << s.err;
  const ReadVertexBuffer& held = s.file.vertexBuffers.at(s.file.meshes[0].vertexBuffer);
  bool shaped = false;
  for (const auto& v : held.vertices) shaped = shaped || (std::abs(v.position[1] - 0.5f) < 1e-4 && std::abs(v.position[2] - 1) < 1e-4);
  EXPECT_TRUE(shaped) << "the top corner belongs at scene (0, 0.5, 1)";
}

// An imported key-framed model of one mesh: `frames` vertex frames played once
// over `lastMs`.
void ExpectKeyFrames(const ImportResult& r, std::uint32_t frames, std::uint32_t lastMs) {
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.file.meshes.size(), 1u);
  EXPECT_EQ(r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer).frames, frames);
  ASSERT_EQ(r.file.vertexControllers.size(), 1u);
  EXPECT_EQ(r.file.vertexControllers[0].times, (std::array<std::uint32_t, 4>{0, lastMs, 0, lastMs}));
}

// Debian's sample MD2 model, when installed: 198 key frames, ten a second.
TEST(ImportSkinning, EveryKeyFrameOfAnMd2ModelBecomesAVertexFrame) {
  const std::string model = "/usr/share/assimp/models/MD2/faerie.md2";
  if (!std::filesystem::exists(model)) GTEST_SKIP() << "assimp-testmodels is not installed";
  TempDir dir;
  ImportResult r = ImportFile(model, dir.file("scene.psk"));
  ExpectKeyFrames(r, 198, 19700);
  if (HasFailure()) return;
  const ReadVertexBuffer& vb = r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer);
  // The figure moves: some vertex is elsewhere half way through.
  float moved = 0;
  for (std::size_t v = 0; v < vb.vertices.size(); ++v)
    for (int k = 0; k < 3; ++k) moved = std::max(moved, std::abs(vb.extraFrames[98][v][k] - vb.vertices[v].position[k]));
  EXPECT_GT(moved, 0.5f);
}

// A Quake III model of our own: one triangle over three key frames, its third corner
// one unit further along the file's x at each frame.
std::string ThreeFrameMd3(const TempDir& dir) {
  std::string file;
  auto i32 = [&](std::int32_t v) { file.append(reinterpret_cast<const char*>(&v), 4); };
  auto f32 = [&](float v) { file.append(reinterpret_cast<const char*>(&v), 4); };
  auto i16 = [&](std::int16_t v) { file.append(reinterpret_cast<const char*>(&v), 2); };
  auto name = [&](const std::string& text, std::size_t size) { file += text + std::string(size - text.size(), '\0'); };
  const int frames = 3;
  const std::int32_t header = 108, frameBytes = 56, surfaceStart = header + frames * frameBytes;
  const std::int32_t triangles = 108, shaders = triangles + 12, st = shaders + 68, xyz = st + 3 * 8,
                     surfaceEnd = xyz + frames * 3 * 8;
  file += "IDP3";
  i32(15);
  name("triangle", 64);
  for (std::int32_t v : {0, frames, 0, 1, 0, header, surfaceStart, surfaceStart, surfaceStart + surfaceEnd}) i32(v);
  for (int f = 0; f < frames; ++f) {
    for (float v : {0.0f, 0.0f, 0.0f, 1.0f + static_cast<float>(f), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 2.0f}) f32(v);
    name("frame" + std::to_string(f), 16);
  }
  file += "IDP3";
  name("surface", 64);
  for (std::int32_t v : {0, frames, 1, 3, 1, triangles, shaders, st, xyz, surfaceEnd}) i32(v);
  for (std::int32_t v : {0, 1, 2}) i32(v);
  name("skin", 64);
  i32(0);
  for (float v : {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f}) f32(v);
  for (int f = 0; f < frames; ++f)
    for (auto [x, y] : {std::pair{0, 0}, {64, 0}, {64 * f, 64}}) {  // a 64th of a unit each
      i16(static_cast<std::int16_t>(x));
      i16(static_cast<std::int16_t>(y));
      i16(0);
      i16(0);
    }
  return dir.write("triangle.md3", file);
}

TEST(ImportSkinning, KeyFramesOfAnMd3ModelBecomeVertexFrames) {
  TempDir dir;
  ImportResult r = ImportFile(ThreeFrameMd3(dir), dir.file("scene.psk"));
  ExpectKeyFrames(r, 3, 200);
  if (HasFailure()) return;
  const ReadVertexBuffer& vb = r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer);
  // Only the third corner moves, one unit a frame (however the axes are turned).
  auto distance = [](const std::array<float, 3>& a, const std::array<float, 3>& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
  };
  std::vector<float> moved;
  for (std::size_t v = 0; v < vb.vertices.size(); ++v)
    moved.push_back(distance(vb.extraFrames[1][v], vb.vertices[v].position));
  std::sort(moved.begin(), moved.end());
  ASSERT_EQ(moved.size(), 3u);
  EXPECT_NEAR(moved[0], 0, 1e-4);
  EXPECT_NEAR(moved[1], 0, 1e-4);
  EXPECT_NEAR(moved[2], 2, 1e-4);  // frame 2 against frame 0
}

}  // namespace
