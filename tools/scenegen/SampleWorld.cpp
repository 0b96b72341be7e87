// The still part of the sample scene. The world is z-up: a camera with no
// rotation looks along -y; turning it about z turns its view.
#include <cmath>

#include "tools/imagegen/RgbaImage.h"
#include "tools/scenegen/SampleScene.h"

namespace {

std::array<float, 4> AboutZ(float radians) {
  return {0, 0, std::sin(radians / 2), std::cos(radians / 2)};
}

RgbaImage Checker(int size, int cells, Rgba a, Rgba b) {
  RgbaImage image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      image.at(x, y) = ((x * cells / size + y * cells / size) % 2) ? a : b;
  return image;
}

RgbaImage Stripes(int size) {
  RgbaImage image(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool stripe = ((x + y) / 8) % 2;
      image.at(x, y) = stripe ? Rgba{40, 90, 170, 255} : Rgba{20, 40, 90, 255};
    }
  return image;
}

RgbaImage Moon(int size) {
  RgbaImage image(size, size);
  std::uint32_t seed = 12345;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 27);  // 0..31
      const int band = 170 + static_cast<int>(40 * std::sin(y * 0.2f));
      const auto v = static_cast<std::uint8_t>(band + grain);
      image.at(x, y) = Rgba{v, v, static_cast<std::uint8_t>(v - 20), 255};
    }
  return image;
}

}  // namespace

bool WriteSampleWorldTextures(const std::string& folder) {
  return WritePng(folder + "/crate.png", Checker(64, 4, {230, 140, 40, 255}, {90, 50, 20, 255}),
                  PngKind::Rgb) &&
         WritePng(folder + "/ground.png", Stripes(64), PngKind::Rgb) &&
         WritePng(folder + "/moon.png", Moon(64), PngKind::Rgb);
}

void AddSampleWorld(SceneBuilder& scene) {
  scene.writer.Ambient(0xFF303030);
  const std::uint32_t world = scene.Group("world", scenefile::kNone, {0, 0, 0});

  scene.Camera("front", world, {0, 9, 1.5f}, AboutZ(0), 0.9f, 0.1f, 100.0f);
  scene.Camera("side", world, {9, 0, 2.5f}, AboutZ(-1.5707963f), 0.9f, 0.1f, 100.0f);

  // Travels towards -x and -y: lights the faces the two cameras see.
  scenefile::LightChunk sun;
  sun.type = 3;
  sun.color = 0xFFFFF0E0;
  sun.intensity = 1.0f;
  scene.Light("sun", world, {0, 0, 10}, AboutZ(0.7853982f), sun);

  scenefile::MaterialChunk crate;
  crate.diffuse = 0xFFFFFFFF;
  crate.ambient = 0xFFFFFFFF;
  crate.diffuseMap = scene.Texture("crate.png");
  const std::uint32_t crateMaterial = scene.Material("crate", crate);

  scenefile::MaterialChunk ground;
  ground.diffuse = 0xFFFFFFFF;
  ground.ambient = 0xFFFFFFFF;
  ground.emissive = 0xFF606060;  // a little self-illumination: the sun grazes it
  ground.diffuseMap = scene.Texture("ground.png");
  const std::uint32_t groundMaterial = scene.Material("ground", ground);

  scenefile::MaterialChunk moon;
  moon.diffuse = 0xFFFFFFFF;
  moon.ambient = 0xFFFFFFFF;
  moon.diffuseMap = scene.Texture("moon.png");
  const std::uint32_t moonMaterial = scene.Material("moon", moon);

  // Unlit: full self-illumination, the same from every side.
  scenefile::MaterialChunk lamp;
  lamp.diffuse = 0xFFFFD040;
  lamp.emissive = 0xFFFFFFFF;
  const std::uint32_t lampMaterial = scene.Material("lamp", lamp);

  scene.MeshNode("ground", world, {0, 0, -1}, MakePlane(12, 3), groundMaterial);
  const std::uint32_t crateNode =
      scene.MeshNode("crate", world, {0, 0, 0}, MakeBox({2, 2, 2}), crateMaterial, AboutZ(0.35f));
  // The moon rides on an arm of the crate: placed by the crate's transform.
  const std::uint32_t arm = scene.Group("arm", crateNode, {2.6f, 0, 0.8f});
  scene.MeshNode("moon", arm, {0, 0, 0}, MakeSphere(0.6f, 12, 16), moonMaterial);
  scene.MeshNode("lamp", world, {-2.8f, -1.0f, 0.2f}, MakeSphere(0.5f, 10, 14), lampMaterial);
}
