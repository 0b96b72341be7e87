// Animated scenes played from an archive appended to the player: each show is a
// scene file written here, packed with its script and pictures, and captured at
// 10 frames per second, so frame n shows scene time n * 100 ms. Every camera sits
// 10 units above the y = 0 plane looking down -y (x right, z up on screen) with
// a quarter-turn field of view; objects are flat panels in that plane, coloured
// by the white scene ambient alone, so their pixels are known exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "e2e/images_capture.h"
#include "tools/scenewriter/SceneWriter.h"

#ifdef SHOW_CFLPACK_EXE

namespace {

using namespace scenefile;

constexpr float kQuarterTurnFov = 1.5707964f;

// A 2x2 uncompressed 32-bit TGA of one colour.
std::string Tga(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::string file(18, '\0');
  file[2] = 2;
  file[12] = 2;
  file[14] = 2;
  file[16] = 32;
  file[17] = 8;
  for (int i = 0; i < 4; ++i)
    for (std::uint8_t c : {b, g, r, std::uint8_t{255}}) file.push_back(static_cast<char>(c));
  return file;
}

class AnimatedShow {
 public:
  // Everything hangs under one top-level node: the last top-level node is the root.
  explicit AnimatedShow(std::uint32_t ambient = 0xFFFFFFFF) {
    writer.Ambient(ambient, Next());
    GroupChunk top;
    top.index = world = Next();
    top.node.name = "world";
    writer.Add(top);
  }

  std::uint32_t Next() { return nextIndex++; }

  std::uint32_t AddCamera(const std::string& name, float x, std::vector<std::uint32_t> switches = {},
                          std::uint32_t animEnd = 0) {
    CameraChunk camera;
    camera.index = Next();
    camera.node.parent = static_cast<std::int32_t>(world);
    camera.node.name = name;
    camera.node.position = {x, 10, 0};
    camera.fov = kQuarterTurnFov;
    camera.nearClip = 0.1f;
    camera.farClip = 100;
    camera.switchTimes = std::move(switches);
    camera.animEnd = animEnd;
    writer.Add(camera);
    return camera.index;
  }
  // Lit by the ambient alone: the ambient colour is what shows.
  std::uint32_t AddMaterial(std::uint32_t ambient, std::uint8_t blendMode = 0,
                            std::uint32_t diffuseMap = kNone) {
    MaterialChunk material;
    material.index = Next();
    material.diffuse = 0xFF000000;
    material.ambient = ambient;
    material.blendMode = blendMode;
    material.diffuseMap = diffuseMap;
    writer.Add(material);
    return material.index;
  }
  // A two-sided rectangle in the y = 0 plane, x in [x0, x1] and z in [z0, z1] about
  // the node's position; returns the node, and the vertex buffer in `buffer`.
  std::uint32_t AddPanel(const std::string& name, std::array<float, 3> position, float x0,
                         float x1, float z0, float z1, std::uint32_t material,
                         const std::string& properties = "",
                         std::vector<std::vector<std::array<float, 3>>> extraFrames = {},
                         std::uint32_t* buffer = nullptr, std::int32_t parent = -1,
                         bool facingCameraOnly = false) {
    GroupChunk node;
    node.index = Next();
    node.node.parent = parent >= 0 ? parent : static_cast<std::int32_t>(world);
    node.node.name = name;
    node.node.position = position;
    node.node.properties = properties;
    writer.Add(node);
    VertexBufferChunk vertices;
    vertices.index = Next();
    const std::array<std::array<float, 3>, 4> corners{
        {{x0, 0, z0}, {x1, 0, z0}, {x1, 0, z1}, {x0, 0, z1}}};
    for (int i = 0; i < 4; ++i) {
      Vertex v;
      v.position = corners[i];
      v.uv0 = {i == 1 || i == 2 ? 1.0f : 0.0f, i >= 2 ? 0.0f : 1.0f};
      vertices.vertices.push_back(v);
    }
    vertices.extraFrames = std::move(extraFrames);
    writer.Add(vertices);
    if (buffer) *buffer = vertices.index;
    IndexBufferChunk indices;
    indices.index = Next();
    // Both windings, whose normals cancel; or only the one facing +y (the camera).
    indices.indices = facingCameraOnly ? std::vector<std::uint32_t>{0, 2, 1, 0, 3, 2}
                                       : std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2};
    writer.Add(indices);
    MeshChunk mesh;
    mesh.index = Next();
    mesh.node = node.index;
    mesh.vertexBuffer = vertices.index;
    mesh.indexBuffer = indices.index;
    mesh.subMeshes.push_back({0, material, 0, static_cast<std::uint32_t>(indices.indices.size()), 0});
    writer.Add(mesh);
    return node.index;
  }

  // Packs the scene and `files` with a script that plays it from 0 to `endMs`,
  // appends the archive to a copy of the player and captures the show in a folder
  // holding only `looseFiles`.
  ProcessResult Play(int endMs, const std::vector<std::pair<std::string, std::string>>& files = {},
                     const std::vector<std::pair<std::string, std::string>>& looseFiles = {},
                     const std::string& script = "") {
    EXPECT_TRUE(writer.Save(dir.file("packed/anim.psk")) ||
                (std::filesystem::create_directories(dir.file("packed")) &&
                 writer.Save(dir.file("packed/anim.psk"))));
    dir.write("packed/demo.psc",
              !script.empty() ? script
                              : "loadscene anim.psk s\nplayscene s\nsetscenetime 0\nwaituntil " +
                                    std::to_string(endMs) + "\n");
    for (const auto& [name, content] : files) dir.write("packed/" + name, content);
    std::filesystem::create_directories(dir.file("data"));
    for (const auto& [name, content] : looseFiles) dir.write("data/" + name, content);
    ProcessResult pack =
        RunProcess(SHOW_CFLPACK_EXE, {"create", dir.file("show.cfl"), dir.file("packed")});
    if (pack.exitCode != 0) return pack;
    ProcessResult append =
        RunProcess(SHOW_CFLPACK_EXE, {"append", SHOW_DEMO_EXE, dir.file("show.cfl"), dir.file("show")});
    if (append.exitCode != 0) return append;
    return RunProcess(dir.file("show"),
                      {"--headless", "--capture", dir.file("out"), "--frames", "png", "--fps", "10"}, dir.file("data"));
  }
  PngPicture Frame(int ms) const {
    char name[40];
    std::snprintf(name, sizeof name, "out/frame-%06d.png", ms / 100);
    return PngPicture(dir.file(name));
  }

  // A directional light travelling along -y: it lights faces that look up +y.
  void AddLight(std::uint8_t type = 3) {
    LightChunk light;
    light.index = Next();
    light.node.parent = static_cast<std::int32_t>(world);
    light.type = type;
    writer.Add(light);
  }
  // Lit by lights alone (black ambient colour), white where a light falls fully.
  std::uint32_t AddLitMaterial() {
    MaterialChunk material;
    material.index = Next();
    material.diffuse = 0xFFFFFFFF;
    material.ambient = 0xFF000000;
    writer.Add(material);
    return material.index;
  }
  std::uint32_t World() const { return world; }

  SceneWriter writer;
  TempDir dir;

 private:
  std::uint32_t nextIndex = 0;
  std::uint32_t world = 0;
};

// The pixel of the world point (x, 0, z) for the camera above x = cameraX.
struct Pixel {
  int x, y;
};
Pixel Project(const PngPicture& frame, float x, float z, float cameraX = 0) {
  const float ndcX = (x - cameraX) * 0.75f / 10;
  const float ndcY = z / 10;
  return {static_cast<int>(std::floor((ndcX + 1) / 2 * frame.width)),
          static_cast<int>(std::floor((1 - ndcY) / 2 * frame.height))};
}

void ExpectWorld(const PngPicture& frame, float x, float z, const Rgb& colour, int tolerance) {
  const Pixel at = Project(frame, x, z);
  EXPECT_PIXEL(frame, at.x, at.y, colour, tolerance) << " world (" << x << ", " << z << ")";
}

TEST(SceneAnimation, TransformControllerMovesANodeThroughItsKeysAndLoops) {
  AnimatedShow show;
  show.AddCamera("eye", 0);
  const std::uint32_t box =
      show.AddPanel("box", {0, 0, 0}, -0.5f, 0.5f, -0.5f, 0.5f, show.AddMaterial(0xFF00FF00));
  PRSControllerChunk prs;
  prs.index = show.Next();
  prs.node = box;
  prs.times = {0, 2000, 0, 1000};  // a 2 s loop; keys over its first second
  prs.keyFlags = scenefile::kKeyPosition;
  prs.keys.resize(3);
  prs.keys[0].position = {-4, 0, 0};
  prs.keys[1].position = {0, 0, 3};
  prs.keys[2].position = {4, 0, 0};
  show.writer.Add(prs);
  ProcessResult run = show.Play(2600);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  struct Stop {
    int ms;
    float x, z;
  };
  // 200 ms: 0.4 of the way from key 0 to key 1; 2500 ms: 500 ms into the second loop.
  for (const Stop& stop : {Stop{0, -4, 0}, Stop{200, -2.4f, 1.2f}, Stop{500, 0, 3},
                           Stop{1000, 4, 0}, Stop{1500, 4, 0}, Stop{2500, 0, 3}}) {
    const PngPicture frame = show.Frame(stop.ms);
    ASSERT_TRUE(frame.valid()) << stop.ms;
    SCOPED_TRACE("at " + std::to_string(stop.ms) + " ms");
    ExpectWorld(frame, stop.x, stop.z, kGreen, 2);
    // Just beyond the box's half-size on either side: the black background.
    ExpectWorld(frame, stop.x - 0.65f, stop.z, kBlack, 2);
    ExpectWorld(frame, stop.x + 0.65f, stop.z, kBlack, 2);
  }
  // Where it was at 0 ms is empty at 500 ms.
  ExpectWorld(show.Frame(500), -4, 0, kBlack, 2);
}

TEST(SceneAnimation, NodeVisibilityKeysAndSampledMaterialOpacityFade) {
  AnimatedShow show;
  show.AddCamera("eye", 0);
  // The left panel fades through VISTRACK keys in its own text: 1 at 0 ms, 0.5 at 1000 ms.
  show.AddPanel("left", {-3, 0, 0}, -1, 1, -1, 1, show.AddMaterial(0xFF00FF00), "Animations=1\n"
                "a0.field=VISTRACK\na0.keyframes=2\na0.kf0=0 1\na0.kf1=1000 0.5\n");
  // The right panel's material fades its OPACITY through sampled values 1 .. 0.5.
  const std::uint32_t fading = show.AddMaterial(0xFFFF0000, 2);
  show.AddPanel("right", {3, 0, 0}, -1, 1, -1, 1, fading);
  SampleFloatControllerChunk opacity;
  opacity.index = show.Next();
  opacity.target = fading;
  opacity.field = "OPACITY";
  opacity.times = {0, 5000, 0, 1000};
  opacity.samples = {1.0f, 0.5f};
  show.writer.Add(opacity);
  ProcessResult run = show.Play(1200);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // Visibility v maps to the alpha (v - 0.5) * 2, added over black: 255 * that.
  // Opacity o below 0.99 without a texture gives the alpha o * o, blended over black.
  struct Step {
    int ms;
    int left, right;
  };
  for (const Step& step : {Step{0, 255, 255}, Step{500, 128, 143}, Step{800, 51, 92},
                           Step{1000, 0, 64}}) {
    const PngPicture frame = show.Frame(step.ms);
    ASSERT_TRUE(frame.valid()) << step.ms;
    SCOPED_TRACE("at " + std::to_string(step.ms) + " ms");
    ExpectWorld(frame, -3.0f, 0.0f, (Rgb{0, step.left, 0}), 3);
    ExpectWorld(frame, 3.0f, 0.0f, (Rgb{step.right, 0, 0}), 3);
  }
}

// Which of the cameras "a" (on the green panel) and "b" (on the red one) is seen at
// the centre of the frames at 0, 100, 200, ... ms, one letter a frame.
void ExpectCamerasSeen(const AnimatedShow& show, const std::string& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const int ms = static_cast<int>(i) * 100;
    const PngPicture frame = show.Frame(ms);
    ASSERT_TRUE(frame.valid()) << ms;
    const Rgb seen = frame.at(frame.width / 2, frame.height / 2);
    const char camera = seen == kGreen ? 'a' : seen == kRed ? 'b' : '?';
    EXPECT_EQ(camera, expected[i]) << "at " << ms << " ms: " << seen;
  }
}

TEST(SceneAnimation, CameraActivatorsSwitchAtTheListedTimes) {
  AnimatedShow show;
  // Camera "a" sees the green panel at the centre, camera "b" the red one 20 units on.
  show.AddCamera("a", 0, {350}, 1000);
  show.AddCamera("b", 20, {500, 200}, 1000);  // unsorted in the file
  show.AddPanel("green", {0, 0, 0}, -1, 1, -1, 1, show.AddMaterial(0xFF00FF00));
  show.AddPanel("red", {20, 0, 0}, -1, 1, -1, 1, show.AddMaterial(0xFFFF0000));
  ProcessResult run = show.Play(1700);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // A camera switches at the first frame later than its time; the cycle is 1000 ms.
  const std::string expected = "aaabaabbbbbbbbaab";  // 0, 100, ... 1600 ms
  ExpectCamerasSeen(show, expected);
}

TEST(SceneAnimation, VertexControllerMorphsAMeshBetweenItsFrames) {
  AnimatedShow show;
  show.AddCamera("eye", 0);
  // Frame 0: a square of half-size 1; frame 1: a bar of half-width 4.
  std::uint32_t buffer = 0;
  show.AddPanel("morph", {0, 0, 0}, -1, 1, -1, 1, show.AddMaterial(0xFF0000FF), "",
                {{{-4, 0, -1}, {4, 0, -1}, {4, 0, 1}, {-4, 0, 1}}}, &buffer);
  VertexControllerChunk morph;
  morph.index = show.Next();
  morph.vertexBuffer = buffer;
  morph.times = {0, 5000, 0, 1000};
  show.writer.Add(morph);
  ProcessResult run = show.Play(1100);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // The right edge runs from x = 1 to x = 4: at 1 + 3 * t / 1000.
  for (int ms : {0, 300, 500, 1000}) {
    const PngPicture frame = show.Frame(ms);
    ASSERT_TRUE(frame.valid()) << ms;
    SCOPED_TRACE("at " + std::to_string(ms) + " ms");
    const float edge = 1 + 3 * static_cast<float>(ms) / 1000;
    ExpectWorld(frame, edge - 0.15f, 0.0f, kBlue, 2);
    ExpectWorld(frame, -(edge - 0.15f), 0.0f, kBlue, 2);
    ExpectWorld(frame, edge + 0.15f, 0.0f, kBlack, 2);
    ExpectWorld(frame, 0.0f, 0.85f, kBlue, 2);  // the height stays
    ExpectWorld(frame, 0.0f, 1.15f, kBlack, 2);
  }
}

TEST(SceneAnimation, AnimatedTextureChangesImageAtItsTimes) {
  AnimatedShow show;
  show.AddCamera("eye", 0);
  TextureChunk texture;
  texture.index = show.Next();
  texture.fileName = "flip.tga";  // flip.seq beside it makes it animated
  show.writer.Add(texture);
  show.AddPanel("screen", {0, 0, 0}, -2, 2, -2, 2, show.AddMaterial(0xFFFFFFFF, 0, texture.index));
  // "Active Image" runs 0 .. 3 over 0 .. 300 ms: one image per 100 ms, then 3 mod 3.
  const std::string sequence =
      "images=3\ni0=red.tga\ni1=green.tga\ni2=blue.tga\n"
      "animations=1\na0.field=Active Image\na0.keyframes=2\na0.kf0=0 0\na0.kf1=300 3\n";
  ProcessResult run = show.Play(500,
                                {{"red.tga", Tga(255, 0, 0)},
                                 {"green.tga", Tga(0, 255, 0)},
                                 {"blue.tga", Tga(0, 0, 255)}},
                                {{"flip.seq", sequence}});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const Rgb expected[] = {kRed, kGreen, kBlue, kRed, kRed};
  for (int ms = 0; ms <= 400; ms += 100) {
    const PngPicture frame = show.Frame(ms);
    ASSERT_TRUE(frame.valid()) << ms;
    EXPECT_PIXEL(frame, frame.width / 2, frame.height / 2, expected[ms / 100], 2) << ms << " ms";
    EXPECT_PIXEL(frame, frame.width / 2 + 60, frame.height / 2 - 60, expected[ms / 100], 2);
  }
}

TEST(SceneAnimation, ActivatorWithZeroLoopLengthTakesTheViewBackAtEveryFrame) {
  AnimatedShow show;
  // "a" lists 150 with an end of 0; "b" switches once, at 350, in a 1000 ms loop.
  show.AddCamera("a", 0, {150}, 0);
  show.AddCamera("b", 20, {350}, 1000);
  show.AddPanel("green", {0, 0, 0}, -1, 1, -1, 1, show.AddMaterial(0xFF00FF00));
  show.AddPanel("red", {20, 0, 0}, -1, 1, -1, 1, show.AddMaterial(0xFFFF0000));
  ProcessResult run = show.Play(1000);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  // "a" re-arms at 150 and is made active at every frame past it; "b" wins only
  // at 400, where it switches after "a" in the same frame.
  const std::string expected = "aaaabaaaa";  // 0, 100, ... 800 ms
  ExpectCamerasSeen(show, expected);
}

TEST(SceneAnimation, TwoSlotsOfOneSceneShareALightThatOutlivesTheFreedSlot) {
  AnimatedShow show(0xFF000000);
  show.AddCamera("eye", 0);
  show.AddLight();
  show.AddPanel("panel", {0, 0, 0}, -2, 2, -2, 2, show.AddLitMaterial(), "", {}, nullptr, -1, true);
  // Both slots set light 0 with the same light; freeing the first must leave the
  // second lit.
  ProcessResult run = show.Play(0, {}, {},
                                "loadscene anim.psk a\nloadscene anim.psk b\nplayscene a\n"
                                "waituntil 200\nplayscene b\nwaituntil 400\nfreescene a\n"
                                "waituntil 700\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (int ms : {100, 300, 500, 600}) {
    const PngPicture frame = show.Frame(ms);
    ASSERT_TRUE(frame.valid()) << ms;
    // Straight under a white directional light: diffuse 1, no ambient.
    ExpectWorld(frame, 0, 0, (Rgb{255, 255, 255}), 2);
    ExpectWorld(frame, 3, 0, kBlack, 0);
  }
}

TEST(SceneAnimation, LightsOfUnknownTypesAndAFramelessBufferLoadAndTheRestDraws) {
  AnimatedShow show(0xFF000000);
  show.AddCamera("eye", 0);
  show.AddLight(0);  // refused by the device: index 0 keeps its default light
  show.AddLight(4);
  show.AddLight(3);
  show.AddPanel("panel", {0, 0, 0}, -2, 2, -2, 2, show.AddLitMaterial(), "", {}, nullptr, -1, true);
  // A mesh on a buffer of frame count 0: three zeroed vertices, nothing to see.
  GroupChunk holder;
  holder.index = show.Next();
  holder.node.parent = static_cast<std::int32_t>(show.World());
  show.writer.Add(holder);
  VertexBufferChunk empty;
  empty.index = show.Next();
  empty.vertices.resize(3);
  empty.noFrames = true;
  show.writer.Add(empty);
  IndexBufferChunk indices{show.Next(), {0, 1, 2}};
  show.writer.Add(indices);
  MeshChunk mesh{show.Next(), holder.index, "", empty.index, indices.index,
                 {{0, show.AddMaterial(0xFFFF0000), 0, 3, 0}}};
  show.writer.Add(mesh);
  ProcessResult run = show.Play(300);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const PngPicture frame = show.Frame(200);
  ASSERT_TRUE(frame.valid());
  ExpectWorld(frame, 0, 0, (Rgb{255, 255, 255}), 2);
  ExpectWorld(frame, 3, 0, kBlack, 0);
}

TEST(SceneAnimation, ChainOfAHundredThousandNodesLoadsDrawsAndFrees) {
  AnimatedShow show;
  show.AddCamera("eye", 0);
  const std::uint32_t material = show.AddMaterial(0xFF00FF00);
  // Ids so far: the loader 0, world 1, the camera 2, the material 3 and its "none"
  // maps 4. Ids whose low 16 bits are all ones read as "no parent", so an unused
  // material takes those.
  std::uint32_t nextId = 5;
  std::int32_t parent = static_cast<std::int32_t>(show.World());
  for (int i = 0; i < 100000; ++i) {
    if ((nextId & 0xFFFF) == 0xFFFF) {
      show.AddMaterial(0xFF000000);
      ++nextId;
    }
    GroupChunk link;
    link.index = show.Next();
    link.node.parent = parent;
    link.node.position = {i % 2 ? 0.00001f : -0.00001f, 0, 0};
    show.writer.Add(link);
    parent = static_cast<std::int32_t>(link.index);
    ++nextId;
  }
  show.AddPanel("deepest", {1, 0, 0}, -1, 1, -1, 1, material, "", {}, nullptr, parent);
  ProcessResult run = show.Play(0, {}, {},
                                "loadscene anim.psk s\nplayscene s\nwaituntil 300\nfreescene s\n"
                                "waituntil 500\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const PngPicture drawn = show.Frame(200);
  ASSERT_TRUE(drawn.valid());
  ExpectWorld(drawn, 1, 0, kGreen, 2);  // placed through every ancestor
  ExpectWorld(drawn, -1.5f, 0, kBlack, 0);
  const PngPicture freed = show.Frame(400);
  ASSERT_TRUE(freed.valid());
  ExpectWorld(freed, 1, 0, kBlack, 0);
}

}  // namespace

#endif
