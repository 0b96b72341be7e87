// A scene played from an archive: a self-illuminated quad gains a halo that fades
// with distance from its edge, and a sprite above it is drawn additively.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "images_capture.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"
#include "tools/scenewriter/SceneWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace scenefile;

// An uncompressed 24-bit TGA of one colour, rows bottom first as the format stores them.
std::string SolidTga(int size, std::uint8_t grey) {
  std::string tga(18, '\0');
  tga[2] = 2;  // true colour
  tga[12] = static_cast<char>(size);
  tga[14] = static_cast<char>(size);
  tga[16] = 24;
  tga.append(static_cast<std::size_t>(size) * size * 3, static_cast<char>(grey));
  return tga;
}

// Camera at the origin looking along -y (z up); a 2x2 white-glowing quad 10 units
// ahead; a white sprite 3 units above it.
std::string GlowScene() {
  SceneWriter w;
  w.Ambient(0xFF000000);
  GroupChunk world;
  world.index = 0;
  world.node.name = "world";
  w.Add(world);
  CameraChunk camera;
  camera.index = 1;
  camera.node.parent = 0;
  camera.node.name = "eye";
  camera.fov = 0.9f;
  camera.nearClip = 0.1f;
  camera.farClip = 100;
  w.Add(camera);
  GroupChunk quad;
  quad.index = 2;
  quad.node.parent = 0;
  quad.node.name = "quad";
  quad.node.position = {0, -10, 0};
  w.Add(quad);
  VertexBufferChunk vertices;
  vertices.index = 3;
  for (auto [x, z] : {std::pair{-1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}, {-1.0f, -1.0f}}) {
    Vertex v;
    v.position = {x, 0, z};
    v.normal = {0, 1, 0};
    vertices.vertices.push_back(v);
  }
  w.Add(vertices);
  IndexBufferChunk indices;
  indices.index = 4;
  indices.indices = {0, 1, 2, 0, 2, 3};  // clockwise as the camera sees it
  w.Add(indices);
  MaterialChunk glowing;
  glowing.index = 5;
  glowing.diffuse = 0xFF000000;
  glowing.emissive = 0xFFFFFFFF;  // self-illumination 1
  w.Add(glowing);
  MeshChunk mesh;
  mesh.index = 6;
  mesh.node = 2;
  mesh.vertexBuffer = 3;
  mesh.indexBuffer = 4;
  SubMeshRecord sub;
  sub.material = 5;
  sub.indexCount = 6;
  mesh.subMeshes.push_back(sub);
  w.Add(mesh);
  TextureChunk texture;
  texture.index = 7;
  texture.fileName = "spark.tga";
  w.Add(texture);
  GroupChunk carrier;
  carrier.index = 8;
  carrier.node.parent = 0;
  carrier.node.name = "spark";
  carrier.node.position = {0, -10, 3};
  w.Add(carrier);
  SpriteChunk sprite;
  sprite.index = 9;
  sprite.node = 8;
  sprite.texture = 7;
  sprite.size = 0.8f;  // 768 * 0.8 / 10 = 61 pixels
  w.Add(sprite);
  const auto& bytes = w.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

TEST(GlowCapture, SelfIlluminatedQuadHasAFadingHaloAndTheSpriteIsDrawn) {
  TempDir t;
  t.write("packed/demo.psc",
          "loadscene glow.psk g\nplayscene g\nsetscenetime 0\nwaituntil 200\n");
  t.write("packed/glow.psk", GlowScene());
  t.write("packed/spark.tga", SolidTga(8, 255));
  fs::create_directories(t.file("bin"));
  fs::create_directories(t.file("data"));
  fs::copy_file(SHOW_DEMO_EXE, t.file("bin/demo"));
  ProcessResult packed = RunProcess(
      SHOW_CFLPACK_EXE, {"create", t.file("bin/demo.cfl"), "--filter", "auto", t.file("packed")});
  ASSERT_EQ(packed.exitCode, 0) << packed.output;
  ProcessResult r = RunProcess(t.file("bin/demo"), {"--headless", "--capture", t.file("out"), "--frames", "png",
                                                    "--fps", "10", "--data", t.file("data")});
  ASSERT_EQ(r.exitCode, 0) << r.output;
  PngPicture frame(t.file("out/frame-000001.png"));
  ASSERT_TRUE(frame.valid()) << r.output;
  ASSERT_EQ(frame.width, 1024);
  // The quad covers about x 432..592, y 304..464; its glow saturates a band around it.
  EXPECT_PIXEL(frame, 512, 384, (Rgb{255, 255, 255}), 2);
  // Right of its edge the halo fades: each step further out is darker, and far away
  // only the faint average of the smallest levels is left.
  const int xs[] = {640, 670, 710, 760, 830, 900};
  for (int i = 0; i + 1 < 6; ++i)
    EXPECT_GT(frame.at(xs[i], 384).r, frame.at(xs[i + 1], 384).r) << "at x " << xs[i];
  EXPECT_GT(frame.at(640, 384).r, 150);
  EXPECT_LT(frame.at(1010, 750).r, 48);
  // The sprite: a white square of about 61 pixels around (512, 145).
  EXPECT_PIXEL(frame, 512, 146, (Rgb{255, 255, 255}), 2);
  EXPECT_PIXEL(frame, 500, 140, (Rgb{255, 255, 255}), 2);
}

}  // namespace
