// Where imported things end up: node scale carried by the vertices (so the player's
// lighting does not depend on it), target cameras looking at their targets, the
// starting camera --frame and --camera choose, and lights brought to a usable strength.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "sceneimport/ImportTestSupport.h"
#include "sceneimport/PlayerView.h"
#include "tools/sceneimport/Camera3ds.h"

namespace {

namespace fs = std::filesystem;

D3DXVECTOR3 WorldVertex(const SceneFile& file, const ReadMesh& mesh, std::size_t v) {
  const auto& p = file.vertexBuffers.at(mesh.vertexBuffer).vertices[v].position;
  D3DXMATRIX world = WorldMatrix(file, *file.NodeByIndex(mesh.node));
  D3DXVECTOR3 in(p[0], p[1], p[2]), out;
  D3DXVec3TransformCoord(&out, &in, &world);
  return out;
}

// The scene-space bounds of every vertex of the meshes carried by `node`.
std::pair<D3DXVECTOR3, D3DXVECTOR3> Bounds(const SceneFile& file, const ReadNode& node) {
  D3DXVECTOR3 lo(1e9f, 1e9f, 1e9f), hi(-1e9f, -1e9f, -1e9f);
  for (const ReadMesh* mesh : file.MeshesOf(node.index))
    for (std::size_t v = 0; v < file.vertexBuffers.at(mesh->vertexBuffer).vertices.size(); ++v) {
      D3DXVECTOR3 w = WorldVertex(file, *mesh, v);
      lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
      hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
    }
  return {lo, hi};
}

TEST(ImportPlacement, NodeScaleGoesIntoTheVerticesAndChildPositionsNotIntoTheNodes) {
  TempDir dir;
  TestGltf g;
  CubeData cube = Cube(0.5f);
  g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
  // A box scaled (100, 2, 1) and turned a quarter about y, with a child box one unit
  // along the parent's x, itself scaled 0.1.
  g.nodes = {"{\"name\":\"big\",\"mesh\":0,\"scale\":[100,2,1],\"rotation\":[0,0.7071068,0,0.7071068],"
             "\"translation\":[5,0,0],\"children\":[1]}",
             "{\"name\":\"small\",\"mesh\":0,\"translation\":[1,0,0],\"scale\":[0.1,0.1,0.1]}"};
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadNode* big = r.file.Node("big");
  const ReadNode* small = r.file.Node("small");
  ASSERT_TRUE(big && small);
  for (const ReadNode* node : {big, small})
    for (float s : node->scale) EXPECT_NEAR(s, 1, 1e-5) << node->name;
  // glTF x becomes -z after the quarter turn about y: the big box spans glTF z from
  // -50 to 50 and x from 4.5 to 5.5; scene axes swap y and z.
  auto [lo, hi] = Bounds(r.file, *big);
  EXPECT_NEAR(lo.x, 4.5f, 1e-3);
  EXPECT_NEAR(hi.x, 5.5f, 1e-3);
  EXPECT_NEAR(lo.y, -50, 1e-3);
  EXPECT_NEAR(hi.y, 50, 1e-3);
  EXPECT_NEAR(lo.z, -1, 1e-3);
  EXPECT_NEAR(hi.z, 1, 1e-3);
  // The child sits 100 units along glTF -z, a box of 0.1 scaled by (100, 2, 1) again.
  auto [clo, chi] = Bounds(r.file, *small);
  EXPECT_NEAR((clo.y + chi.y) / 2, -100, 1e-3);
  EXPECT_NEAR(chi.y - clo.y, 10, 1e-3);
  EXPECT_NEAR(chi.z - clo.z, 0.2f, 1e-4);
  EXPECT_NEAR(chi.x - clo.x, 0.1f, 1e-4);
}

TEST(ImportPlacement, AnimatedScaleStaysAnimatedAroundTheBakedRest) {
  TempDir dir;
  TestGltf g;
  CubeData cube = Cube(0.5f);
  g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
  g.nodes = {"{\"name\":\"grow\",\"mesh\":0,\"scale\":[4,4,4]}"};
  int times = g.Floats({0, 1}, "SCALAR", true);
  int scales = g.Floats({4, 4, 4, 8, 8, 8}, "VEC3");
  g.animations = {"{\"samplers\":[{\"input\":" + std::to_string(times) + ",\"output\":" + std::to_string(scales) +
                  "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"scale\"}}]}"};
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadNode* node = r.file.Node("grow");
  ASSERT_TRUE(node);
  auto [lo, hi] = Bounds(r.file, *node);
  EXPECT_NEAR(hi.x - lo.x, 4, 1e-4);  // the rest scale is in the vertices
  ASSERT_EQ(r.file.controllers.size(), 1u);
  const ReadPRS& prs = r.file.controllers[0];
  ASSERT_TRUE(prs.flags & 4);
  EXPECT_NEAR(prs.keys.front().scale[0], 1, 1e-5);
  EXPECT_NEAR(prs.keys.back().scale[0], 2, 1e-5);  // twice the rest: 8 in all
}

// A 3DS file: a triangle about the origin and a target camera, its roll animated
// through the key-framer when `rollKeys` (frame, degrees) are given.
std::string ThreeDs(const TempDir& dir, const float eye[3], const float target[3], float roll,
                    const std::vector<std::pair<std::uint32_t, float>>& rollKeys = {}) {
  auto chunk = [](std::uint16_t id, const std::string& body) {
    std::string out(6, '\0');
    std::uint32_t length = static_cast<std::uint32_t>(body.size() + 6);
    std::memcpy(out.data(), &id, 2);
    std::memcpy(out.data() + 2, &length, 4);
    return out + body;
  };
  auto floats = [](std::initializer_list<float> values) {
    std::string out;
    for (float v : values) out.append(reinterpret_cast<const char*>(&v), 4);
    return out;
  };
  auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  std::string vertices = u16(3) + floats({-1, 0, -1, 1, 0, -1, 0, 0, 1});
  std::string faces = u16(1) + u16(0) + u16(1) + u16(2) + u16(0);
  std::string mesh = chunk(0x4000, std::string("tri") + '\0' +
                                       chunk(0x4100, chunk(0x4110, vertices) + chunk(0x4120, faces)));
  std::string camera = chunk(0x4000, std::string("Camera01") + '\0' +
                                         chunk(0x4700, floats({eye[0], eye[1], eye[2], target[0], target[1],
                                                               target[2], roll, 35})));
  std::string version = chunk(0x0002, std::string("\3\0\0\0", 4));
  std::string keyframer;
  if (!rollKeys.empty()) {
    auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    std::string track = u16(0) + u32(0) + u32(0) + u32(static_cast<std::uint32_t>(rollKeys.size()));
    for (auto [frame, degrees] : rollKeys) track += u32(frame) + u16(0) + floats({degrees});
    auto node = [&](const std::string& name) { return name + '\0' + u16(0x4000) + u16(0) + u16(0xFFFF); };
    // With a key-framer assimp builds its nodes from it: the triangle needs one too.
    keyframer = chunk(0xB000, chunk(0xB002, chunk(0xB030, u16(0)) + chunk(0xB010, node("tri"))) +
                                  chunk(0xB003, chunk(0xB030, u16(1)) + chunk(0xB010, node("Camera01")) +
                                                    chunk(0xB024, track)));
  }
  std::string file = chunk(0x4D4D, version + chunk(0x3D3D, mesh + camera) + keyframer);
  return dir.write("target.3ds", file);
}

// A 3DS target (z up in the file, whose axes are those of `axes`) lies in the middle of
// the screen; a point one unit above it stands straight above, or beside it once the
// camera has rolled a quarter turn. Returns where the target lies.
ScreenPoint ExpectLooksAtTarget(const SceneFile& file, const ReadNode& camera, const ReadNode& axes,
                                const float target[3], bool rolled) {
  ScreenPoint at = Project(file, camera, axes, {target[0], target[2], target[1]});
  EXPECT_NEAR(at.x, 512, 0.5);
  EXPECT_NEAR(at.y, 384, 0.5);
  ScreenPoint above = Project(file, camera, axes, {target[0], target[2] + 1, target[1]});
  if (!rolled) {
    EXPECT_NEAR(above.x, 512, 0.5);
    EXPECT_LT(above.y, 384 - 10);
  } else {
    EXPECT_NEAR(above.y, 384, 0.5);
    EXPECT_GT(std::abs(above.x - 512), 10);
  }
  return at;
}

TEST(ImportPlacement, TargetCameraLooksAtItsTargetWithItsRoll) {
  const float eye[3] = {4, -10, 3}, target[3] = {1, 2, -1};
  for (float roll : {0.0f, 90.0f}) {
    SCOPED_TRACE(roll);
    TempDir dir;
    ImportResult r = ImportFile(ThreeDs(dir, eye, target, roll), dir.file("scene.psk"));
    ASSERT_EQ(r.status, 0) << r.err;
    const ReadNode* camera = r.file.Node("Camera01");
    // The file's own axes are those under assimp's root node, which stands the file
    // upright (as it does the triangle); there the source's (x, y, z) is the scene's (x, z, y).
    const ReadNode* root = r.file.Node("<3DSDummyRoot>");
    ASSERT_TRUE(camera && root);
    ASSERT_EQ(camera->type, 4);
    ScreenPoint at = ExpectLooksAtTarget(r.file, *camera, *root, target, roll != 0);
    EXPECT_GT(at.depth, 0);
    EXPECT_LT(at.depth, 1);
  }
}

TEST(ImportPlacement, AnimatedRollOfATargetCameraIsCarried) {
  const float eye[3] = {4, -10, 3}, target[3] = {1, 2, -1};
  TempDir dir;
  // Level at frame 0, a quarter turn at frame 25 (one second at assimp's 25 a second).
  ImportResult r = ImportFile(ThreeDs(dir, eye, target, 0, {{0, 0.0f}, {25, 90.0f}}), dir.file("scene.psk"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(r.report.Mentions("roll")) << "nothing about the roll is lost";
  const ReadNode* camera = r.file.Node("Camera01");
  const ReadNode* tri = r.file.Node("tri");
  ASSERT_TRUE(camera && tri);
  const ReadNode* root = r.file.NodeByIndex(static_cast<std::uint32_t>(tri->parent));  // the file's own axes
  ASSERT_TRUE(root);
  const ReadPRS* prs = nullptr;
  for (const auto& c : r.file.controllers)
    if (c.node == camera->index) prs = &c;
  ASSERT_TRUE(prs) << "the rolling camera needs a controller";
  ASSERT_GE(prs->keys.size(), 2u);
  // The camera at its first and last key: the target stays in the middle, a point
  // above it goes from straight above to the side.
  for (bool last : {false, true}) {
    SCOPED_TRACE(last);
    ReadNode at = *camera;
    const ReadKey& key = last ? prs->keys.back() : prs->keys.front();
    at.position = key.position;
    at.rotation = key.rotation;
    ExpectLooksAtTarget(r.file, at, *root, target, last);
  }
}

// Debian's sample with a target camera moving on a key-framed path, when installed.
TEST(ImportPlacement, SampleTargetCameraSeesItsTarget) {
  const std::string model = "/usr/share/assimp/models/3DS/TargetCameraAnim.3ds";
  if (!fs::exists(model)) GTEST_SKIP() << "assimp-testmodels is not installed";
  auto cameras = sceneimport::Read3dsCameras(model);
  ASSERT_EQ(cameras.count("Camera01"), 1u);
  sceneimport::Vec3 t = cameras["Camera01"].target;
  TempDir dir;
  ImportResult r = ImportFile(model, dir.file("scene.psk"));
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadNode* camera = r.file.Node("Camera01");
  ASSERT_TRUE(camera);
  ASSERT_TRUE(r.file.Node("<3DSRoot>"));
  ScreenPoint at = Project(r.file, *camera, *r.file.Node("<3DSRoot>"), {t.x, t.z, t.y});
  EXPECT_NEAR(at.x, 512, 1);
  EXPECT_NEAR(at.y, 384, 1);
}

TestGltf BoxWithTwoCameras() {
  TestGltf g;
  CubeData cube = Cube(1);
  g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
  g.cameras = {"{\"type\":\"perspective\",\"perspective\":{\"yfov\":0.8,\"znear\":0.5,\"zfar\":50}}"};
  // The first camera stands inside the box; the second sees it from afar.
  g.nodes = {"{\"name\":\"box\",\"mesh\":0}", "{\"name\":\"inside\",\"camera\":0}",
             "{\"name\":\"outside\",\"camera\":0,\"translation\":[0,0,10]}"};
  return g;
}

TEST(ImportPlacement, FrameAddsTheStartingCameraAndKeepsTheFilesCamerasByName) {
  TempDir dir;
  sceneimport::ImportOptions options;
  options.frame = true;
  ImportResult r = Import(dir, BoxWithTwoCameras(), options);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> cameras;
  for (const ReadNode& node : r.file.nodes)
    if (node.type == 4) cameras.push_back(node.name);
  // The player starts with the first camera in the file.
  EXPECT_EQ(cameras, (std::vector<std::string>{"frame camera", "inside", "outside"}));
  // Every corner of the box is in the framing camera's picture.
  const ReadNode* frame = r.file.Node("frame camera");
  const ReadNode* box = r.file.Node("box");
  for (float x : {-1.0f, 1.0f})
    for (float y : {-1.0f, 1.0f})
      for (float z : {-1.0f, 1.0f}) {
        ScreenPoint s = Project(r.file, *frame, *box, {x, y, z});
        EXPECT_GT(s.x, 0);
        EXPECT_LT(s.x, 1024);
        EXPECT_GT(s.y, 0);
        EXPECT_LT(s.y, 768);
        EXPECT_GT(s.depth, 0);
        EXPECT_LT(s.depth, 1);
      }
}

TEST(ImportPlacement, CameraOptionPicksTheStartingCameraOrNamesTheChoices) {
  TempDir dir;
  sceneimport::ImportOptions options;
  options.camera = "outside";
  ImportResult r = Import(dir, BoxWithTwoCameras(), options);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadNode* first = nullptr;
  for (const ReadNode& node : r.file.nodes)
    if (node.type == 4 && !first) first = &node;
  ASSERT_TRUE(first);
  EXPECT_EQ(first->name, "outside");
  options.camera = "nowhere";
  ImportResult missing = Import(dir, BoxWithTwoCameras(), options);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no camera named 'nowhere'"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("'inside', 'outside'"), std::string::npos) << missing.err;
}

TEST(ImportPlacement, LightsReachTheModelBetweenHalfAndFullStrength) {
  struct Case {
    std::string light;
    float lightScale;
    float expected;  // the intensity written
  };
  // A box of radius sqrt(3) at the origin; the point light 10 units away.
  for (const Case& c : {Case{"{\"type\":\"point\",\"intensity\":5000}", 1, 5000 * 100.0f / 5000},
                        Case{"{\"type\":\"point\",\"intensity\":5000}", 3, 3 * 5000 * 100.0f / 5000},
                        Case{"{\"type\":\"point\",\"intensity\":60}", 1, 60},
                        Case{"{\"type\":\"directional\",\"intensity\":0.01}", 1, 0.5f},
                        Case{"{\"type\":\"directional\",\"intensity\":0.7}", 2, 1.4f}}) {
    SCOPED_TRACE(c.light);
    TempDir dir;
    TestGltf g;
    CubeData cube = Cube(1);
    g.meshes.push_back(MeshJson(g.Floats(cube.positions, "VEC3", true), g.Indices(cube.indices)));
    g.extensionsUsed = {"KHR_lights_punctual"};
    g.lights = {c.light};
    g.nodes = {"{\"name\":\"box\",\"mesh\":0}",
               "{\"name\":\"lamp\",\"translation\":[0,0,10],\"extensions\":{\"KHR_lights_punctual\":{\"light\":0}}}"};
    sceneimport::ImportOptions options;
    options.lightScale = c.lightScale;
    ImportResult r = Import(dir, g, options);
    ASSERT_EQ(r.status, 0) << r.err;
    const ReadNode* light = r.file.Node("light 0");
    ASSERT_TRUE(light);
    EXPECT_NEAR(light->intensity, c.expected, c.expected * 1e-4);
  }
}

}  // namespace
