// The glowing part of the sample scene: two self-illuminated beacons beside the
// crate and sparks (point sprites) over the lamp, one of them left out of the glow.
#include <algorithm>
#include <cmath>

#include "tools/imagegen/RgbaImage.h"
#include "tools/scenegen/SampleScene.h"

namespace {

// A white spot fading to black at its rim: added onto the frame, black adds nothing.
RgbaImage Spark(int size) {
  RgbaImage image(size, size);
  const float centre = (static_cast<float>(size) - 1) / 2;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float r = std::hypot(static_cast<float>(x) - centre, static_cast<float>(y) - centre) /
                      centre;
      const float fall = std::clamp(1.0f - r, 0.0f, 1.0f);
      const auto v = static_cast<std::uint8_t>(255.0f * fall * fall);
      image.at(x, y) = Rgba{v, v, static_cast<std::uint8_t>(std::min(255, v + 40 * (v > 0))), 255};
    }
  return image;
}

}  // namespace

bool WriteSampleGlowTextures(const std::string& folder) {
  return WritePng(folder + "/spark.png", Spark(32), PngKind::Rgb);
}

void AddSampleGlow(SceneBuilder& scene) {
  const std::uint32_t world = scene.Find("world");

  scenefile::MaterialChunk beacon;
  beacon.diffuse = 0xFF60C0FF;
  beacon.ambient = 0xFF60C0FF;
  beacon.emissive = 0xFFB0B0B0;  // self-illumination 0.69: a strong halo
  const std::uint32_t beaconMaterial = scene.Material("beacon", beacon);
  scene.MeshNode("beacon left", world, {2.6f, -1.8f, -0.2f}, MakeBox({0.3f, 0.3f, 1.6f}),
                 beaconMaterial);
  scene.MeshNode("beacon right", world, {-0.8f, -2.6f, -0.5f}, MakeBox({0.8f, 0.2f, 0.2f}),
                 beaconMaterial);

  const std::uint32_t spark = scene.Texture("spark.png");
  struct Placement {
    Vec3 position;
    float size;
    std::uint8_t skipInGlowPass;
  };
  const Placement sparks[] = {
      {{-2.8f, -1.0f, 1.2f}, 0.9f, 0},
      {{-1.9f, -1.6f, 1.8f}, 0.6f, 0},
      {{-3.6f, -0.6f, 2.1f}, 0.5f, 1},  // bright in the frame, no halo of its own
  };
  int n = 0;
  for (const Placement& p : sparks) {
    const std::uint32_t node = scene.Group("spark " + std::to_string(n++), world, p.position);
    scenefile::SpriteChunk sprite;
    sprite.index = scene.NewIndex();
    sprite.node = node;
    sprite.texture = spark;
    sprite.size = p.size;
    sprite.skipInGlowPass = p.skipInGlowPass;
    scene.writer.Add(sprite);
  }
}
