// Imported scenes played by the player in capture runs: the glTF camera's framing,
// front faces also under a mirroring node, an animated node at worked-out pixels,
// and Debian's sample models of other formats.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "e2e/images_capture.h"
#include "sceneimport/ImportTestSupport.h"

namespace {

constexpr Rgb kRedLit{255, 0, 0};

// glTF's projection for a camera at rest at (0, 0, 6), yfov 0.8, aspect 4:3.
std::array<int, 2> Pixel(float x, float y, float z) {
  float t = std::tan(0.4f), d = 6 - z;
  return {static_cast<int>((x / d / (t * 4 / 3) + 1) / 2 * 1024), static_cast<int>((1 - y / d / t) / 2 * 768)};
}

// The face normals of Cube's 24 vertices.
std::vector<float> CubeNormals() {
  std::vector<float> normals;
  for (int f = 0; f < 6; ++f)
    for (int k = 0; k < 4; ++k) {
      float n[3] = {0, 0, 0};
      n[f % 3] = f < 3 ? 1.0f : -1.0f;
      normals.insert(normals.end(), {n[0], n[1], n[2]});
    }
  return normals;
}

// Adds a red box of half size `h` with its face normals; returns the mesh index.
int RedBox(TestGltf& g, float h) {
  CubeData cube = Cube(h);
  std::vector<float> normals = CubeNormals();
  int p = g.Floats(cube.positions, "VEC3", true);
  int n = g.Floats(normals, "VEC3");
  g.meshes.push_back(MeshJson(p, g.Indices(cube.indices), 0, ",\"NORMAL\":" + std::to_string(n)));
  return static_cast<int>(g.meshes.size()) - 1;
}

TestGltf LitBoxes(const std::vector<std::string>& boxNodes, const std::string& animations = "") {
  TestGltf g;
  RedBox(g, 0.5f);
  g.materials = {"{\"name\":\"red\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,0,0,1],\"roughnessFactor\":1}}"};
  g.cameras = {"{\"type\":\"perspective\",\"perspective\":{\"yfov\":0.8,\"znear\":0.5,\"zfar\":50}}"};
  g.extensionsUsed = {"KHR_lights_punctual"};
  g.lights = {"{\"type\":\"directional\",\"intensity\":1}"};  // along -z, straight onto the front faces
  g.nodes = {"{\"name\":\"eye\",\"camera\":0,\"translation\":[0,0,6]}",
             "{\"name\":\"sun\",\"extensions\":{\"KHR_lights_punctual\":{\"light\":0}}}"};
  for (const auto& node : boxNodes) g.nodes.push_back(node);
  if (!animations.empty()) g.animations = {animations};
  return g;
}

ShowCapture Play(const TempDir& show, const TestGltf& g, int ms) {
  ImportResult r = ImportFile(g.Save(show, "model.gltf"), show.file("scene.psk"));
  EXPECT_EQ(r.status, 0) << r.err;
  show.write("demo.psc", "loadscene scene.psk s\nplayscene s\nwaituntil " + std::to_string(ms) + "\n");
  return ShowCapture(show, 10);
}

TEST(ImportCapture, BoxesAppearWhereTheGltfCameraSeesThemAlsoMirrored) {
  TempDir show;
  ShowCapture run = Play(show, LitBoxes({"{\"name\":\"box\",\"mesh\":0,\"translation\":[1.5,0.5,0]}",
                                         "{\"name\":\"mirror\",\"mesh\":0,\"translation\":[-1.5,-0.5,0],\"scale\":[-1,1,1]}"}),
                         250);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  EXPECT_EQ(run.result().output.find("Error"), std::string::npos) << run.result().output;
  PngPicture frame = run.frame(1);
  ASSERT_TRUE(frame.valid());
  // The front face (z = 0.5) of the box on the right: lit red just inside its corners.
  auto tl = Pixel(1.0f, 1.0f, 0.5f), br = Pixel(2.0f, 0.0f, 0.5f);
  EXPECT_PIXEL(frame, tl[0] + 3, tl[1] + 3, kRedLit, 8);
  EXPECT_PIXEL(frame, br[0] - 3, br[1] - 3, kRedLit, 8);
  // Outside the whole box (its back face lies nearer the centre) the background.
  auto outside = Pixel(2.0f, 1.0f, 0.5f);
  EXPECT_PIXEL(frame, outside[0] + 4, outside[1] - 4, kBlack, 8);
  EXPECT_PIXEL(frame, 1024 - tl[0], tl[1] + 3, kBlack, 8);  // not mirrored to the left
  // The mirrored box shows its lit front face too (culled wrongly it would show inside faces).
  auto mtl = Pixel(-2.0f, 0.0f, 0.5f), mbr = Pixel(-1.0f, -1.0f, 0.5f);
  EXPECT_PIXEL(frame, (mtl[0] + mbr[0]) / 2, (mtl[1] + mbr[1]) / 2, kRedLit, 8);
  EXPECT_PIXEL(frame, mtl[0] + 3, mtl[1] + 3, kRedLit, 8);
}

TEST(ImportCapture, ScaledNodesAreLitLikeUnscaledOnes) {
  TempDir show;
  // Three boxes of the same size on screen: one plain, one a hundredth the size under
  // a node scaled 100, one ten times the size under a node scaled 0.1.
  TestGltf g = LitBoxes({"{\"name\":\"plain\",\"mesh\":0}"});
  int huge = RedBox(g, 0.005f), tiny = RedBox(g, 5);
  g.nodes.push_back("{\"name\":\"huge\",\"mesh\":" + std::to_string(huge) + ",\"translation\":[1.5,0.5,0],\"scale\":[100,100,100]}");
  g.nodes.push_back("{\"name\":\"tiny\",\"mesh\":" + std::to_string(tiny) + ",\"translation\":[-1.5,-0.5,0],\"scale\":[0.1,0.1,0.1]}");
  ShowCapture run = Play(show, g, 250);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  PngPicture frame = run.frame(1);
  ASSERT_TRUE(frame.valid());
  // The middle of each box's front face (z = 0.5), lit straight on: full red each time.
  for (auto centre : {Pixel(0, 0, 0.5f), Pixel(1.5f, 0.5f, 0.5f), Pixel(-1.5f, -0.5f, 0.5f)})
    EXPECT_PIXEL(frame, centre[0], centre[1], kRedLit, 8);
}

TEST(ImportCapture, AnimatedBoxLandsAtTheWorkedOutPixelAtKnownFrames) {
  TempDir show;
  TestGltf g = LitBoxes({"{\"name\":\"mover\",\"mesh\":0}"});
  int times = g.Floats({0, 1}, "SCALAR", true);
  int moves = g.Floats({-2, 0, 0, 2, 0, 0}, "VEC3");
  int turns = g.Floats({0, 0, 0, 1, 0, 0, 0.7071068f, 0.7071068f}, "VEC4");  // a quarter about z
  g.animations = {"{\"samplers\":[{\"input\":" + std::to_string(times) + ",\"output\":" + std::to_string(moves) +
                  "},{\"input\":" + std::to_string(times) + ",\"output\":" + std::to_string(turns) +
                  "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":2,\"path\":\"translation\"}},"
                  "{\"sampler\":1,\"target\":{\"node\":2,\"path\":\"rotation\"}}]}"};
  ShowCapture run = Play(show, g, 1450);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  // Frame n is scene time n * 100 ms: at frame 5 the box is at x = 0, at frame 10 at x = 2.
  PngPicture middle = run.frame(5), end = run.frame(10), after = run.frame(13);
  auto centre = Pixel(0, 0, 0.5f), right = Pixel(2, 0, 0.5f), left = Pixel(-2, 0, 0.5f);
  EXPECT_PIXEL(middle, centre[0], centre[1], kRedLit, 8);
  EXPECT_PIXEL(middle, right[0], right[1], kBlack, 8);
  EXPECT_PIXEL(end, right[0], right[1], kRedLit, 8);
  EXPECT_PIXEL(end, centre[0], centre[1], kBlack, 8);
  // A turn of 45 degrees at frame 5 puts a corner of the front face straight above the centre.
  auto corner = Pixel(0, 0.68f, 0.5f);
  EXPECT_PIXEL(middle, corner[0], corner[1], kRedLit, 8);
  // The loop is the animation's one second: frame 13 (1.3 s) shows 0.3 s again.
  auto again = Pixel(-0.8f, 0, 0.5f);
  EXPECT_PIXEL(after, again[0], again[1], kRedLit, 8);
  (void)left;
}

// A skin of two bones: "hip" at the origin and "arm" one unit up, turning a quarter
// about z over one second. One mesh of two red boxes (half size 0.15): one at the
// hip on the hip bone, one at (0, 2, 0) on the arm bone.
TEST(ImportCapture, SkinnedVerticesLandAtTheWorkedOutPixelsAtKnownFrames) {
  TempDir show;
  TestGltf g = LitBoxes({});
  CubeData cube = Cube(0.15f);
  std::vector<float> positions = cube.positions, normals = CubeNormals(), weights;
  std::vector<std::uint32_t> indices = cube.indices;
  std::vector<std::uint16_t> joints;
  for (std::size_t i = 0; i < cube.positions.size(); i += 3)
    positions.insert(positions.end(), {cube.positions[i], cube.positions[i + 1] + 2, cube.positions[i + 2]});
  normals.insert(normals.end(), normals.begin(), normals.end());
  for (std::uint32_t i : cube.indices) indices.push_back(i + 24);
  for (std::uint16_t bone : {0, 1})
    for (int v = 0; v < 24; ++v) {
      joints.insert(joints.end(), {bone, 0, 0, 0});
      weights.insert(weights.end(), {1, 0, 0, 0});
    }
  g.meshes.push_back("{\"primitives\":[{\"attributes\":{\"POSITION\":" +
                     std::to_string(g.Floats(positions, "VEC3", true)) +
                     ",\"NORMAL\":" + std::to_string(g.Floats(normals, "VEC3")) +
                     ",\"JOINTS_0\":" + std::to_string(g.Joints(joints)) +
                     ",\"WEIGHTS_0\":" + std::to_string(g.Floats(weights, "VEC4")) +
                     "},\"indices\":" + std::to_string(g.Indices(indices)) + ",\"material\":0}]}");
  // Nodes 0 and 1 are the camera and the light.
  g.nodes.push_back("{\"name\":\"skinned\",\"mesh\":1,\"skin\":0}");
  g.nodes.push_back("{\"name\":\"hip\",\"children\":[4]}");
  g.nodes.push_back("{\"name\":\"arm\",\"translation\":[0,1,0]}");
  g.sceneNodes = {0, 1, 2, 3};
  int inverseBinds = g.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1,  //
                               1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -1, 0, 1},
                              "MAT4");
  g.skins = {"{\"joints\":[3,4],\"inverseBindMatrices\":" + std::to_string(inverseBinds) + "}"};
  const float s = std::sin(3.14159265f / 4);
  int times = g.Floats({0, 1}, "SCALAR", true);
  int turns = g.Floats({0, 0, 0, 1, 0, 0, s, s}, "VEC4");
  g.animations = {"{\"samplers\":[{\"input\":" + std::to_string(times) + ",\"output\":" + std::to_string(turns) +
                  "}],\"channels\":[{\"sampler\":0,\"target\":{\"node\":4,\"path\":\"rotation\"}}]}"};
  ShowCapture run = Play(show, g, 1150);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  // The player's lights may be scaled to the model: lit red is red well above the rest.
  auto red = [](const PngPicture& frame, std::array<int, 2> at) {
    Rgb c = frame.at(at[0], at[1]);
    return c.r > 100 && c.g < 40 && c.b < 40;
  };
  // Frame n is scene time n * 100 ms; the arm has turned 9n degrees, so the arm's box
  // (front face z = 0.15) is centred at (-sin 9n, 1 + cos 9n).
  auto armBox = [](int n) {
    float a = 9.0f * static_cast<float>(n) * 3.14159265f / 180;
    return Pixel(-std::sin(a), 1 + std::cos(a), 0.15f);
  };
  PngPicture third = run.frame(3), middle = run.frame(5), end = run.frame(10);
  ASSERT_TRUE(middle.valid() && end.valid());
  EXPECT_TRUE(red(third, armBox(3))) << "frame 3: (-0.454, 1.891)";
  EXPECT_TRUE(red(middle, armBox(5))) << "frame 5: (-0.707, 1.707)";
  EXPECT_TRUE(red(end, armBox(10))) << "frame 10: (-1, 1)";
  // Where the arm's box rests, and where it is at frame 5, it has gone by frame 10.
  EXPECT_FALSE(red(end, Pixel(0, 2, 0.15f)));
  EXPECT_FALSE(red(end, armBox(5)));
  // The hip's box stays put.
  for (const PngPicture* frame : {&middle, &end}) EXPECT_TRUE(red(*frame, Pixel(0, 0, 0.15f)));
}

// An ASCII FBX file standing on z (as 3ds Max writes them): a pole two units tall
// along the file's z with a flag at its top towards +x, the viewer on -y.
std::string ZUpFlagFbx(const TempDir& dir) {
  std::ostringstream vertices, indices;
  int base = 0;
  auto box = [&](float x0, float x1, float y0, float y1, float z0, float z1) {
    for (float z : {z0, z1})
      for (float y : {y0, y1})
        for (float x : {x0, x1}) vertices << (vertices.tellp() > 0 ? "," : "") << x << "," << y << "," << z;
    // Corner i is (x, y, z) = (i & 1, i & 2, i & 4); the last index of a polygon is -(i + 1).
    for (auto q : {std::array{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}})
      indices << (indices.tellp() > 0 ? "," : "") << base + q[0] << "," << base + q[1] << ","
              << base + q[2] << "," << -(base + q[3]) - 1;
    base += 8;
  };
  box(-0.1f, 0.1f, -0.1f, 0.1f, -1, 1);
  box(0.1f, 0.6f, -0.1f, 0.1f, 0.7f, 1);
  std::ostringstream text;
  text << "; FBX 7.4.0 project file\nFBXHeaderExtension: {\n  FBXHeaderVersion: 1003\n  FBXVersion: 7400\n}\n"
       << "GlobalSettings: {\n  Version: 1000\n  Properties70: {\n";
  for (auto [name, value] : {std::pair{"UpAxis", 2}, {"UpAxisSign", 1}, {"FrontAxis", 1}, {"FrontAxisSign", -1},
                             {"CoordAxis", 0}, {"CoordAxisSign", 1}})
    text << "    P: \"" << name << "\", \"int\", \"Integer\", \"\"," << value << "\n";
  text << "  }\n}\nObjects: {\n  Geometry: 100, \"Geometry::flag\", \"Mesh\" {\n    Vertices: *48 {\n      a: "
       << vertices.str() << "\n    }\n    PolygonVertexIndex: *48 {\n      a: " << indices.str()
       << "\n    }\n    GeometryVersion: 124\n  }\n  Model: 200, \"Model::flag\", \"Mesh\" {\n    Version: 232\n  }\n}\n"
       << "Connections: {\n  C: \"OO\",100,200\n  C: \"OO\",200,0\n}\n";
  return dir.write("flag.fbx", text.str());
}

TEST(ImportCapture, ModelStandingOnZIsTurnedUprightAndNotMirrored) {
  TempDir show;
  sceneimport::ImportOptions options;
  options.frame = true;
  ImportResult r = ImportFile(ZUpFlagFbx(show), show.file("scene.psk"), options);
  ASSERT_EQ(r.status, 0) << r.err;
  show.write("demo.psc", "loadscene scene.psk s\nplayscene s\nwaituntil 250\n");
  ShowCapture run(show, 10);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  PngPicture frame = run.frame(1);
  ASSERT_TRUE(frame.valid());
  // Upright (y-up: x, z, -y) the model spans x -0.1..0.6, y -1..1, z -0.1..0.1: the
  // framing camera stands at its centre (0.25, 0, 0) plus 2.781 along (0, 0.330, 0.944)
  // (the bounds' half diagonal 1.064 over sin 22.5 degrees), looking back with y up.
  // The front faces (z = 0.1) of the pole's middle and of the flag land at:
  auto lit = [&](int x, int y) {
    Rgb c = frame.at(x, y);
    return c.r + c.g + c.b > 60;
  };
  EXPECT_TRUE(lit(426, 395)) << "the pole's middle, (0, 0, 0.1)";
  EXPECT_TRUE(lit(551, 88)) << "the flag, (0.35, 0.85, 0.1): up and to the right";
  // Mirrored the flag would wave to the left, upside down at the bottom.
  EXPECT_FALSE(lit(281, 88)) << "where a mirrored flag would be";
  EXPECT_FALSE(lit(543, 645)) << "where an upside-down flag would be";
  // Left lying along the view the pole would not reach its top.
  EXPECT_TRUE(lit(415, 67)) << "the pole near its top, (0, 0.9, 0.1)";
}

TEST(ImportCapture, SampleModelsOfOtherFormatsPlayWithoutErrors) {
  const std::string models = "/usr/share/assimp/models/";
  if (!std::filesystem::exists(models)) GTEST_SKIP() << "assimp-testmodels is not installed";
  for (const char* model : {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", "Collada/duck.dae",
                            "3DS/RotatingCube.3DS", "OBJ/WusonOBJ.obj"}) {
    SCOPED_TRACE(model);
    TempDir show;
    sceneimport::ImportOptions options;
    options.frame = true;
    ImportResult r = ImportFile(models + model, show.file("scene.psk"), options);
    ASSERT_EQ(r.status, 0) << r.err;
    show.write("demo.psc", "loadscene scene.psk s\nplayscene s\nwaituntil 250\n");
    ShowCapture run(show, 10);
    ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
    EXPECT_EQ(run.result().output.find("Error"), std::string::npos) << run.result().output;
    PngPicture frame = run.frame(1);
    ASSERT_TRUE(frame.valid());
    // Something of the model covers the middle of the picture.
    int lit = 0;
    for (int y = 284; y < 484; y += 10)
      for (int x = 412; x < 612; x += 10) lit += frame.at(x, y) != kBlack;
    EXPECT_GT(lit, 40) << "the framed model should fill the middle";
  }
}

}  // namespace
