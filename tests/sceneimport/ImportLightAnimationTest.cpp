// Lights and animation of imported glTF scenes.
#include <gtest/gtest.h>

#include <cmath>

#include "sceneimport/ImportTestSupport.h"
#include "sceneimport/PlayerView.h"

namespace {

TEST(ImportLights, EachKindKeepsItsColourFallOffConeAndDirection) {
  TempDir dir;
  TestGltf g;
  g.extensionsUsed = {"KHR_lights_punctual"};
  g.lights = {"{\"name\":\"bulb\",\"type\":\"point\",\"color\":[1,0.5,0],\"intensity\":3,\"range\":20}",
              "{\"name\":\"spot\",\"type\":\"spot\",\"spot\":{\"innerConeAngle\":0.2,\"outerConeAngle\":0.5}}",
              "{\"name\":\"sun\",\"type\":\"directional\",\"intensity\":0.9}"};
  CubeData cube = Cube(0.5f);
  g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
  // The sun turned a quarter about +x: glTF's -z becomes -y (straight down).
  g.nodes = {"{\"name\":\"a\",\"translation\":[1,2,3],\"extensions\":{\"KHR_lights_punctual\":{\"light\":0}}}",
             "{\"name\":\"b\",\"rotation\":[0,0.7071068,0,0.7071068],\"children\":[2]}",
             "{\"name\":\"c\",\"translation\":[0,0,4],\"extensions\":{\"KHR_lights_punctual\":{\"light\":1}}}",
             "{\"name\":\"d\",\"rotation\":[-0.7071068,0,0,0.7071068],\"extensions\":{\"KHR_lights_punctual\":{\"light\":2}}}",
             "{\"name\":\"box\",\"mesh\":0}"};
  g.sceneNodes = {0, 1, 3, 4};
  sceneimport::ImportOptions options;
  options.scale = 2;
  ImportResult r = Import(dir, g, options);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadNode* bulb = r.file.Node("bulb");
  const ReadNode* spot = r.file.Node("spot");
  const ReadNode* sun = r.file.Node("sun");
  ASSERT_TRUE(bulb && spot && sun);
  EXPECT_EQ(bulb->lightType, 1);
  EXPECT_EQ(bulb->color & 0xFFFFFF, 0xFF8000u);
  EXPECT_FLOAT_EQ(bulb->intensity, 3);
  // Inverse-square fall-off in lengths twice as long.
  EXPECT_FLOAT_EQ(bulb->attenuation[0], 0);
  EXPECT_FLOAT_EQ(bulb->attenuation[2], 0.25f);
  EXPECT_FLOAT_EQ(bulb->range, 40);
  D3DXMATRIX world = WorldMatrix(r.file, *bulb);
  EXPECT_NEAR(world._41, 2, 1e-5);
  EXPECT_NEAR(world._42, 6, 1e-5);
  EXPECT_NEAR(world._43, 4, 1e-5);
  EXPECT_EQ(spot->lightType, 2);
  EXPECT_NEAR(spot->theta, 2 * 0.2 * 180 / 3.14159265, 1e-3);
  EXPECT_NEAR(spot->phi, 2 * 0.5 * 180 / 3.14159265, 1e-3);
  // The spot hangs under a quarter turn about +y: glTF position (4, 0, 0) shining along -x.
  D3DXMATRIX spotWorld = WorldMatrix(r.file, *spot);
  EXPECT_NEAR(spotWorld._41, 8, 1e-4);
  EXPECT_NEAR(spotWorld._42, 0, 1e-4);
  EXPECT_NEAR(spotWorld._43, 0, 1e-4);
  D3DXVECTOR3 d = LightDirection(r.file, *spot);
  EXPECT_NEAR(d.x, -1, 1e-5);
  EXPECT_NEAR(d.y, 0, 1e-5);
  EXPECT_NEAR(d.z, 0, 1e-5);
  EXPECT_EQ(sun->lightType, 3);
  EXPECT_FLOAT_EQ(sun->intensity, 0.9f);
  D3DXVECTOR3 down = LightDirection(r.file, *sun);
  EXPECT_NEAR(down.x, 0, 1e-5);
  EXPECT_NEAR(down.y, 0, 1e-5);
  EXPECT_NEAR(down.z, -1, 1e-5);  // scene z is up
}

TEST(ImportAnimation, TranslationAndRotationBecomeEvenlySpacedKeys) {
  TempDir dir;
  TestGltf g;
  int times = g.Floats({0.5f, 1.5f}, "SCALAR", true);
  int moves = g.Floats({0, 0, 0, 3, 0, -6}, "VEC3");
  int rtimes = g.Floats({0, 2}, "SCALAR", true);
  int turns = g.Floats({0, 0, 0, 1, 0, 1, 0, 0}, "VEC4");  // identity to a half turn about y
  g.nodes = {"{\"name\":\"mover\",\"translation\":[0,1,0]}"};
  g.animations = {"{\"name\":\"go\",\"samplers\":[{\"input\":" + std::to_string(times) + ",\"output\":" +
                  std::to_string(moves) + "},{\"input\":" + std::to_string(rtimes) + ",\"output\":" +
                  std::to_string(turns) + "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}},"
                  "{\"sampler\":1,\"target\":{\"node\":0,\"path\":\"rotation\"}}]}"};
  AddDrawable(g);
  sceneimport::ImportOptions options;
  options.fps = 10;
  ImportResult r = Import(dir, g, options);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.file.controllers.size(), 1u);
  const ReadPRS& c = r.file.controllers[0];
  EXPECT_EQ(c.node, r.file.Node("mover")->index);
  EXPECT_EQ(c.flags, 0x3u);
  EXPECT_EQ(c.times, (std::array<std::uint32_t, 4>{0, 2000, 0, 2000}));
  ASSERT_EQ(c.keys.size(), 21u);  // 2 s at 10 keys a second, both ends
  // At 1.0 s (key 10): halfway along the move, a quarter turn.
  const ReadKey& mid = c.keys[10];
  EXPECT_NEAR(mid.position[0], 1.5f, 1e-5);
  EXPECT_NEAR(mid.position[1], -3.0f, 1e-5);  // glTF z -> scene y
  EXPECT_NEAR(mid.position[2], 0, 1e-5);
  // Before the move starts (0.2 s) the first value holds.
  EXPECT_NEAR(r.file.controllers[0].keys[2].position[0], 0, 1e-6);
  // The turn about glTF +y is a turn about scene z, sense reversed by the mirror.
  EXPECT_NEAR(mid.rotation[2], -std::sin(3.14159265f / 4), 1e-4);
  EXPECT_NEAR(mid.rotation[3], std::cos(3.14159265f / 4), 1e-4);
  // The node lands at the worked-out place: apply key 15 (1.5 s, the move's end).
  ReadNode placed = *r.file.Node("mover");
  placed.position = c.keys[15].position;
  placed.rotation = c.keys[15].rotation;
  D3DXMATRIX world = WorldMatrix(r.file, placed);
  EXPECT_NEAR(world._41, 3, 1e-5);
  EXPECT_NEAR(world._42, -6, 1e-5);
  EXPECT_EQ(r.report.counts.channels, 2u);
}

TEST(ImportAnimation, StepAndCubicChannelsAreSampledAndReported) {
  TempDir dir;
  TestGltf g;
  int times = g.Floats({0, 1}, "SCALAR", true);
  int steps = g.Floats({0, 0, 0, 4, 0, 0}, "VEC3");
  // Cubic: in-tangent, value, out-tangent per key; zero tangents ease in and out.
  int cubic = g.Floats({0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 3, 3, 3, 0, 0, 0}, "VEC3");
  g.nodes = {"{\"name\":\"stepper\"}", "{\"name\":\"smooth\"}"};
  g.animations = {"{\"samplers\":[{\"input\":" + std::to_string(times) + ",\"output\":" + std::to_string(steps) +
                  ",\"interpolation\":\"STEP\"},{\"input\":" + std::to_string(times) + ",\"output\":" +
                  std::to_string(cubic) + ",\"interpolation\":\"CUBICSPLINE\"}],\"channels\":["
                  "{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}},"
                  "{\"sampler\":1,\"target\":{\"node\":1,\"path\":\"scale\"}}]}"};
  AddDrawable(g);
  sceneimport::ImportOptions options;
  options.fps = 4;
  ImportResult r = Import(dir, g, options);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.file.controllers.size(), 2u);
  const auto& step = r.file.controllers[0].keys;
  ASSERT_EQ(step.size(), 5u);
  EXPECT_FLOAT_EQ(step[3].position[0], 0);  // 0.75 s: still the first value
  EXPECT_FLOAT_EQ(step[4].position[0], 4);
  const auto& smooth = r.file.controllers[1].keys;
  ASSERT_EQ(smooth.size(), 5u);
  EXPECT_NEAR(smooth[2].scale[0], 2, 1e-5);       // the Hermite midpoint
  EXPECT_NEAR(smooth[1].scale[0], 1.3125f, 1e-5);  // 1 + 2 * (3f^2 - 2f^3) at f = 0.25
  EXPECT_TRUE(r.report.Mentions("step interpolation"));
  EXPECT_TRUE(r.report.Mentions("cubic-spline"));
}

TEST(ImportAnimation, MorphWeightsBecomeVertexFramesAndAVertexController) {
  TempDir dir;
  TestGltf g;
  int p = g.Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3", true);
  int n = g.Floats({0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3");
  int d = g.Floats({0, 0, 2, 0, 0, 0, 0, 0, 0}, "VEC3", true);  // lifts the first corner along z
  int times = g.Floats({0, 1}, "SCALAR", true);
  int weights = g.Floats({0, 1}, "SCALAR");
  g.meshes = {"{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(p) + ",\"NORMAL\":" +
              std::to_string(n) + "},\"targets\":[{\"POSITION\":" + std::to_string(d) + "}]}],\"weights\":[0]}"};
  g.nodes = {"{\"name\":\"blob\",\"mesh\":0}"};
  g.animations = {"{\"samplers\":[{\"input\":" + std::to_string(times) + ",\"output\":" + std::to_string(weights) +
                  "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"weights\"}}]}"};
  sceneimport::ImportOptions options;
  options.fps = 2;
  ImportResult r = Import(dir, g, options);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.file.meshes.size(), 1u);
  const auto& vb = r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer);
  ASSERT_EQ(vb.frames, 3u);  // 0, 0.5 and 1 s
  ASSERT_EQ(r.file.vertexControllers.size(), 1u);
  EXPECT_EQ(r.file.vertexControllers[0].vertexBuffer, vb.index);
  EXPECT_EQ(r.file.vertexControllers[0].times, (std::array<std::uint32_t, 4>{0, 1000, 0, 1000}));
  // The lifted corner: glTF z is scene y.
  std::size_t corner = 0;
  for (std::size_t v = 0; v < vb.vertices.size(); ++v)
    if (vb.vertices[v].position == std::array<float, 3>{0, 0, 0}) corner = v;
  EXPECT_FLOAT_EQ(vb.extraFrames[0][corner][1], 1);
  EXPECT_FLOAT_EQ(vb.extraFrames[1][corner][1], 2);
}

}  // namespace
