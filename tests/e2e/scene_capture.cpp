// 3D scenes in capture runs: scene files written here with the scene writer and
// loaded by a script from loose files or from an archive appended to the player.
// Pixels are checked where the camera must show lit and unlit quads, a quad
// placed by its parent's transform, the view after "setactivecamera", the
// scene clock after "playscene" and "setscenetime", and the layers under and
// over the scene. Frame n of a 10 fps run is drawn at script time n * 100 ms.
//
// Every camera sits at the origin; with no rotation it looks along -y (z up).
// A point (x, -10, z) lands at pixel x 512 + 512 * x / 6.441, y 384 - 384 * z / 4.831
// (fov 0.9 rad, aspect 4/3).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e/images_capture.h"
#include "tools/scenewriter/SceneWriter.h"

namespace {

using scenefile::kNone;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMagenta{255, 0, 255};

// A quad at depth y spanning x0..x1 and z0..z1, facing +y (towards a camera at
// the origin looking along -y) or -y.
void AddQuad(scenefile::SceneWriter& w, std::uint32_t first, std::uint32_t node, float y,
             float x0, float x1, float z0, float z1, bool facingPlusY, std::uint32_t material) {
  scenefile::VertexBufferChunk vertices;
  vertices.index = first;
  vertices.componentFlags = 0;
  vertices.vertices.resize(4);
  vertices.vertices[0].position = {x0, y, z0};
  vertices.vertices[1].position = {x1, y, z0};
  vertices.vertices[2].position = {x1, y, z1};
  vertices.vertices[3].position = {x0, y, z1};
  w.Add(vertices);
  // Wound so that (p1 - p0) x (p2 - p0) points at the viewer.
  scenefile::IndexBufferChunk indices{first + 1, facingPlusY
                                                     ? std::vector<std::uint32_t>{0, 3, 1, 1, 3, 2}
                                                     : std::vector<std::uint32_t>{0, 1, 3, 1, 2, 3}};
  w.Add(indices);
  scenefile::MeshChunk mesh;
  mesh.index = first + 2;
  mesh.node = node;
  mesh.vertexBuffer = first;
  mesh.indexBuffer = first + 1;
  mesh.subMeshes.push_back({0, material, 0, 6, 0});
  w.Add(mesh);
}

scenefile::GroupChunk Node(std::uint32_t index, std::int32_t parent, const std::string& name,
                           std::array<float, 3> position = {0, 0, 0},
                           std::array<float, 3> scale = {1, 1, 1},
                           const std::string& properties = "") {
  scenefile::GroupChunk g;
  g.index = index;
  g.node.parent = parent;
  g.node.name = name;
  g.node.position = position;
  g.node.scale = scale;
  g.node.properties = properties;
  return g;
}

scenefile::CameraChunk CameraAt(std::uint32_t index, const std::string& name, float turnZ) {
  scenefile::CameraChunk c;
  c.index = index;
  c.node.parent = 0;
  c.node.name = name;
  c.node.rotation = {0, 0, std::sin(turnZ / 2), std::cos(turnZ / 2)};
  c.fov = 0.9f;
  c.nearClip = 0.1f;
  c.farClip = 100;
  return c;
}

// A white directional light travelling along -y: lights faces that look along +y.
scenefile::LightChunk Sun(std::uint32_t index) {
  scenefile::LightChunk l;
  l.index = index;
  l.node.parent = 0;
  l.node.name = "sun";
  l.type = 3;
  l.color = 0xFFFFFFFF;
  l.intensity = 1;
  return l;
}

scenefile::MaterialChunk Lit(std::uint32_t index, std::uint32_t diffuse) {
  scenefile::MaterialChunk m;
  m.index = index;
  m.diffuse = diffuse;
  m.ambient = 0xFFFFFFFF;
  m.specular = 0xFF000000;
  m.emissive = 0xFF000000;
  return m;
}

// Lit by the light and the scene's ambient colour, coloured by a texture.
scenefile::MaterialChunk LitTextured(std::uint32_t index, std::uint32_t texture) {
  scenefile::MaterialChunk m = Lit(index, 0xFFFFFFFF);
  m.diffuseMap = texture;
  return m;
}

// A light map alone turns lighting off: the texture as it is, whatever the light.
scenefile::MaterialChunk Unlit(std::uint32_t index, std::uint32_t texture) {
  scenefile::MaterialChunk m = Lit(index, 0xFFFFFFFF);
  m.lightMap = texture;
  return m;
}

// A 2 x 2 24-bit BMP of one colour.
std::string SolidBmp(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::string bmp = "BM";
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto u16 = [&](std::uint16_t v) {
    bmp.push_back(static_cast<char>(v));
    bmp.push_back(static_cast<char>(v >> 8));
  };
  u32(54 + 16);
  u32(0);
  u32(54);
  u32(40);
  u32(2);
  u32(2);
  u16(1);
  u16(24);
  for (std::uint32_t v : {0u, 16u, 2835u, 2835u, 0u, 0u}) u32(v);
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 2; ++x) bmp += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    bmp += std::string(2, '\0');
  }
  return bmp;
}

// Cameras "front" (first, so active at start) and "back"; a lit green quad low on
// the left, an unlit white quad on the right, a red quad placed by its parent's
// transform high on the left, and behind the cameras a lit white quad that the
// light does not reach (ambient only). Untextured materials would take whatever
// stage-0 colour the layers left, so every material here has a texture.
scenefile::SceneWriter ViewsScene() {
  scenefile::SceneWriter w;
  w.Ambient(0xFF404040);
  w.Add(Node(0, -1, "world"));
  w.Add(CameraAt(1, "front", 0));
  w.Add(CameraAt(2, "back", 3.14159265f));
  w.Add(Sun(3));
  w.Add(scenefile::TextureChunk{50, "green.bmp"});
  w.Add(scenefile::TextureChunk{51, "white.bmp"});
  w.Add(scenefile::TextureChunk{52, "red.bmp"});
  w.Add(LitTextured(4, 50));
  w.Add(Unlit(5, 51));
  w.Add(LitTextured(6, 52));
  w.Add(LitTextured(7, 51));
  w.Add(Node(10, 0, "green"));
  AddQuad(w, 11, 10, -10, -6, -1, -3, 0, true, 4);
  w.Add(Node(20, 0, "white"));
  AddQuad(w, 21, 20, -10, 1, 6, -3, 3, true, 5);
  // Parent at x -1 scaled 2: the child's local (-1, -5, 1.25) lands at (-3, -10, 2.5).
  w.Add(Node(30, 0, "parent", {-1, 0, 0}, {2, 2, 2}));
  w.Add(Node(31, 30, "child", {-1, -5, 1.25f}));
  AddQuad(w, 32, 31, 0, -0.5f, 0.5f, -0.5f, 0.5f, true, 6);
  w.Add(Node(40, 0, "behind"));
  AddQuad(w, 41, 40, 10, -2, 2, -2, 2, false, 7);
  return w;
}

const char* kViewsScript =
    "createcolor 0 0 255 blue\n"
    "createcolor 255 0 255 magenta\n"
    "loadscene views.psk views\n"
    "setlayer blue -1\n"
    "setlayer magenta 0\n"
    "setlayerpos 0 960 0\n"
    "playscene views\n"
    "waituntil 250\n"
    "setactivecamera back\n"
    "waituntil 450\n";

void WriteViewsShow(const TempDir& show) {
  ASSERT_TRUE(ViewsScene().Save(show.file("views.psk")));
  show.write("green.bmp", SolidBmp(0, 255, 0));
  show.write("white.bmp", SolidBmp(255, 255, 255));
  show.write("red.bmp", SolidBmp(255, 0, 0));
  show.write("demo.psc", kViewsScript);
}

// What the front camera must show, and then the back camera.
void CheckViews(const PngPicture& front, const PngPicture& back) {
  ASSERT_TRUE(front.valid());
  ASSERT_TRUE(back.valid());
  // The lit quad: a green texture under a white light straight on it (plus the
  // ambient quarter, clamped).
  EXPECT_PIXEL(front, 230, 500, kGreen, 4);
  // The unlit quad is white; the layer at 0 lies over its right end.
  EXPECT_PIXEL(front, 800, 384, kWhite, 0);
  EXPECT_PIXEL(front, 975, 384, kMagenta, 0);
  // The layer below 0 shows where the scene draws nothing.
  EXPECT_PIXEL(front, 512, 20, kBlue, 4);
  EXPECT_PIXEL(front, 512, 700, kBlue, 4);
  // The child sits where its parent's transform puts it (x 194..353, y 106..265),
  // not where its own transform alone would (x 273..432). The parent's scale of 2
  // also halves the transformed normal (inverse transpose, not renormalised):
  // 0.25 ambient + 0.5 diffuse of red.
  EXPECT_PIXEL(front, 230, 185, (Rgb{191, 0, 0}), 3);
  EXPECT_PIXEL(front, 400, 185, kBlue, 4);
  // Turned half round: only the quad behind, in the middle, lit by the ambient
  // colour alone (0x40 of white) since the light falls on its back.
  EXPECT_PIXEL(back, 512, 384, (Rgb{64, 64, 64}), 3);
  EXPECT_PIXEL(back, 230, 500, kBlue, 4);
  EXPECT_PIXEL(back, 800, 384, kBlue, 4);
  EXPECT_PIXEL(back, 975, 384, kMagenta, 0);
}

TEST(SceneCapture, ScriptLoadsLooseSceneFilesAndSwitchesCameras) {
  TempDir show;
  WriteViewsShow(show);
  ShowCapture run(show, 10);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  EXPECT_EQ(run.result().output.find("Error"), std::string::npos) << run.result().output;
  CheckViews(run.frame(2), run.frame(3));
}

#ifdef SHOW_CFLPACK_EXE
TEST(SceneCapture, SceneFromAnArchiveAppendedToThePlayer) {
  TempDir show;
  WriteViewsShow(show);
  TempDir work;
  ProcessResult pack = RunProcess(SHOW_CFLPACK_EXE, {"create", work.file("show.cfl"), show.path()});
  ASSERT_EQ(pack.exitCode, 0) << pack.output;
  ProcessResult append = RunProcess(
      SHOW_CFLPACK_EXE, {"append", SHOW_DEMO_EXE, work.file("show.cfl"), work.file("show")});
  ASSERT_EQ(append.exitCode, 0) << append.output;
  std::filesystem::remove(work.file("show.cfl"));
  // Played from a folder that holds nothing but the player.
  ProcessResult run = RunProcess(
      work.file("show"), {"--headless", "--capture", work.file("out"), "--frames", "png", "--fps", "10"}, work.path());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  CheckViews(PngPicture(work.file("out/frame-000002.png")),
             PngPicture(work.file("out/frame-000003.png")));
}
#endif

TEST(SceneCapture, SceneClockFollowsSetSceneTimeNotPlayScene) {
  TempDir show;
  scenefile::SceneWriter w;
  w.Add(Node(0, -1, "world"));
  w.Add(CameraAt(1, "front", 0));
  w.Add(Sun(2));
  w.Add(Lit(3, 0xFF00FF00));
  // Shown until scene time 1000, hidden from 1001 on.
  w.Add(Node(10, 0, "blink", {0, 0, 0}, {1, 1, 1},
             "animations = 1\na0.field = VISTRACK\na0.keyframes = 3\n"
             "a0.kf0 = 0 1\na0.kf1 = 1000 1\na0.kf2 = 1001 0\n"));
  AddQuad(w, 11, 10, -10, -3, 3, -2, 2, true, 3);
  ASSERT_TRUE(w.Save(show.file("clock.psk")));
  show.write("demo.psc",
             "loadscene clock.psk clock\n"
             "waituntil 2050\n"
             "playscene clock\n"
             "waituntil 2450\n"
             "setscenetime 0\n"
             "waituntil 3900\n");
  ShowCapture run(show, 10);
  ASSERT_EQ(run.result().exitCode, 0) << run.result().output;
  // Before "playscene" nothing is drawn.
  EXPECT_PIXEL(run.frame(20), 512, 384, kBlack, 0);
  // Made current at script time 2100 without a new scene time: its clock reads 2100.
  EXPECT_PIXEL(run.frame(22), 512, 384, kBlack, 0);
  // "setscenetime 0" at 2500: scene time 0 there, 900 at frame 34, 1100 at frame 36.
  EXPECT_PIXEL(run.frame(25), 512, 384, kGreen, 4);
  EXPECT_PIXEL(run.frame(34), 512, 384, kGreen, 4);
  EXPECT_PIXEL(run.frame(36), 512, 384, kBlack, 0);
}

// A scene file whose second chunk declares 5000 payload bytes where 3 are left.
bool SaveDamagedScene(const std::string& path) {
  scenefile::SceneWriter w;
  w.Add(Node(0, -1, "world"));
  w.RawWithLength(scenefile::ChunkType::Group, 2, 1, 5000, {1, 2, 3});
  return w.Save(path);
}

TEST(SceneCapture, DamagedSceneFileEndsTheShowWithItsMessage) {
  TempDir show;
  ASSERT_TRUE(SaveDamagedScene(show.file("bad.psk")));
  show.write("demo.psc", "loadscene bad.psk bad\nwaituntil 1000\n");
  ShowCapture run(show, 10);
  EXPECT_EQ(run.result().exitCode, 0);
  EXPECT_NE(run.result().output.find("Error: Damaged scene file bad.psk: chunk 1 (type 2) at "
                                     "byte 71 declares 5000 payload bytes, but only 3 are left"),
            std::string::npos)
      << run.result().output;
}

TEST(SceneCapture, SceneErrorLeavesTheCaptureFilesWhole) {
  TempDir show;
  ASSERT_TRUE(SaveDamagedScene(show.file("bad.psk")));
  show.write("demo.psc", "createcolor 0 0 255 blue\nsetlayer blue 0\nwaituntil 450\n"
                         "loadscene bad.psk bad\nwaituntil 1000\n");
  TempDir out;
  ProcessResult run = RunProcess(SHOW_DEMO_EXE, {"--headless", "--capture", out.file("c"), "--frames",
                                                 "png", "--fps", "10", "--data", show.path()});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Error: Damaged scene file bad.psk"), std::string::npos) << run.output;
  // Frames 0 to 4 were presented before the scene was loaded at 450 ms.
  EXPECT_TRUE(PngPicture(out.file("c/frame-000004.png")).valid());
  // audio.wav is closed with a header that covers exactly those frames' sound
  // (4410 stereo 16-bit samples a frame at 10 fps).
  std::ifstream wav(out.file("c/audio.wav"), std::ios::binary);
  ASSERT_TRUE(wav) << run.output;
  std::string bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 44u);
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
  };
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(u32(4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(u32(40), bytes.size() - 44);
  EXPECT_EQ(u32(40), 5u * 4410u * 4u);
  // The run's end work happened: with ffmpeg the frames and sound became the video.
  if (run.output.find("ffmpeg is not installed") == std::string::npos) {
    EXPECT_TRUE(std::filesystem::exists(out.file("c/show.mp4"))) << run.output;
  }
}

}  // namespace
