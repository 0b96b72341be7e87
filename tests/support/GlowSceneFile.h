// A glowing scene as a scene file, for the tests that play it through the player:
// seen from the camera, a self-illuminated quad in the middle of the screen (about
// x 432..592, y 304..464 of 1024 x 768) whose halo fades to the right of it, and a
// sprite above it (about 61 pixels around 512, 145) textured with "spark.tga".
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "tools/scenewriter/SceneWriter.h"

// An uncompressed 24-bit TGA of one colour, rows bottom first as the format stores them.
inline std::string SolidTga(int size, std::uint8_t grey) {
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
inline std::string GlowSceneFile() {
  using namespace scenefile;
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
