// The moving part of the sample scene: the front camera's flight round the crate,
// the crate turning (carrying the moon on its arm), the moon swelling, a glass
// ball whose material fades, a blinker fading through keys in its own text, and a
// screen whose animated texture flips pictures and scrolls. The scene plays from
// scene time 0 for about ten seconds.
#include <cmath>
#include <string>

#include "tools/imagegen/RgbaImage.h"
#include "tools/scenegen/SampleScene.h"

namespace {

constexpr float kPi = 3.14159265f;

std::array<float, 4> AboutZ(float radians) {
  return {0, 0, std::sin(radians / 2), std::cos(radians / 2)};
}

scenefile::PRSKey Key(Vec3 position, std::array<float, 4> rotation, Vec3 scale = {1, 1, 1}) {
  scenefile::PRSKey key;
  key.position = position;
  key.rotation = rotation;
  key.scale = scale;
  return key;
}

// Four pictures told apart by colour and by the number of bars across them.
RgbaImage ScreenPicture(int n) {
  const Rgba colours[] = {{220, 60, 40, 255}, {240, 200, 40, 255}, {60, 200, 90, 255},
                          {50, 110, 230, 255}};
  RgbaImage image(64, 64, Rgba{15, 15, 25, 255});
  for (int y = 8; y < 56; ++y)
    for (int bar = 0; bar <= n; ++bar)
      for (int x = 6 + bar * 14; x < 6 + bar * 14 + 8 && x < 64; ++x) image.at(x, y) = colours[n];
  return image;
}

}  // namespace

bool WriteSampleMotionTextures(const std::string& folder) {
  for (int n = 0; n < 4; ++n)
    if (!WritePng(folder + "/screen" + std::to_string(n) + ".png", ScreenPicture(n), PngKind::Rgb))
      return false;
  // The picture shown where the description cannot be found beside the player.
  if (!WritePng(folder + "/screen.png", ScreenPicture(0), PngKind::Rgb)) return false;
  // The description of the screen's animated texture: one picture per half second
  // and the pictures drifting sideways, both looping.
  return WriteText(folder + "/screen.seq",
                   "# Animated texture of the sample scene's screen\n"
                   "images = 4\n"
                   "i0 = screen0.png\ni1 = screen1.png\ni2 = screen2.png\ni3 = screen3.png\n"
                   "animations = 2\n"
                   "a0.field = Active Image\na0.looping = 1\na0.keyframes = 2\n"
                   "a0.kf0 = 0 0\na0.kf1 = 2000 4\n"
                   "a1.field = Tex U Offset\na1.looping = 1\na1.keyframes = 2\n"
                   "a1.kf0 = 0 0\na1.kf1 = 4000 1\n");
}

void AddSampleMotion(SceneBuilder& scene) {
  const std::uint32_t world = scene.Find("world");

  // The front camera flies a quarter of the way round the crate in four seconds,
  // rising on the way, always facing the crate; then the script cuts to "side".
  scenefile::PRSControllerChunk flight;
  flight.index = scene.NewIndex();
  flight.node = scene.Find("front");
  flight.times = {0, 10000, 0, 4000};
  flight.keyFlags = scenefile::kKeyPosition | scenefile::kKeyRotation;  // position and rotation; the scale stays the camera's own
  for (int k = 0; k <= 8; ++k) {
    const float a = -0.6f + 1.4f * static_cast<float>(k) / 8;  // angle round the crate
    const float h = 1.5f + 1.8f * std::sin(kPi * static_cast<float>(k) / 8);
    flight.keys.push_back(Key({9 * std::sin(a), 9 * std::cos(a), h}, AboutZ(-a)));
  }
  scene.writer.Add(flight);

  // The crate turns once every eight seconds, a quarter turn per key.
  scenefile::PRSControllerChunk turn;
  turn.index = scene.NewIndex();
  turn.node = scene.Find("crate");
  turn.times = {0, 8000, 0, 8000};
  turn.keyFlags = scenefile::kKeyRotation;
  for (int k = 0; k <= 4; ++k)
    turn.keys.push_back(Key({}, AboutZ(0.35f + kPi / 2 * static_cast<float>(k))));
  scene.writer.Add(turn);

  // The moon swells and shrinks every two seconds.
  scenefile::PRSControllerChunk swell;
  swell.index = scene.NewIndex();
  swell.node = scene.Find("moon");
  swell.times = {0, 2000, 0, 2000};
  swell.keyFlags = scenefile::kKeyScale;
  for (float s : {1.0f, 1.5f, 1.0f}) swell.keys.push_back(Key({}, {0, 0, 0, 1}, {s, s, s}));
  scene.writer.Add(swell);

  // A glass ball whose material fades between opaque and faint, sampled every 250 ms.
  scenefile::MaterialChunk glass;
  glass.diffuse = 0xFF60D0FF;
  glass.ambient = 0xFF60D0FF;
  glass.specular = 0xFFFFFFFF;
  glass.power = 0.5f;
  glass.specularLevel = 0.8f;
  glass.blendMode = 2;
  const std::uint32_t glassMaterial = scene.Material("glass", glass);
  scene.MeshNode("glass", world, {2.4f, 2.8f, -0.3f}, MakeSphere(0.7f, 12, 16), glassMaterial);
  scenefile::SampleFloatControllerChunk fade;
  fade.index = scene.NewIndex();
  fade.target = glassMaterial;
  fade.field = "OPACITY";
  fade.times = {0, 3000, 0, 3000};
  for (int k = 0; k <= 12; ++k)
    fade.samples.push_back(0.6f + 0.4f * std::cos(2 * kPi * static_cast<float>(k) / 12));
  scene.writer.Add(fade);

  // A blinker that fades out and back every two seconds through keys in its own text.
  scenefile::MaterialChunk glow;
  glow.diffuse = 0xFFFF6020;
  glow.ambient = 0xFFFF6020;
  glow.emissive = 0xFF808080;
  const std::uint32_t glowMaterial = scene.Material("blinker", glow);
  const std::uint32_t blinker =
      scene.Group("blinker", world, {3.8f, 1.0f, 2.4f}, {0, 0, 0, 1}, {1, 1, 1},
                  "# fades through VISTRACK: hidden at 0.5 and below\n"
                  "Animations = 1\n"
                  "a0.field = VISTRACK\na0.looping = 1\na0.keyframes = 3\n"
                  "a0.kf0 = 0 1\na0.kf1 = 1000 0.55\na0.kf2 = 2000 1\n");
  scene.MeshNode("blinker light", blinker, {0, 0, 0}, MakeBox({0.4f, 0.4f, 0.4f}), glowMaterial);

  // A screen standing behind the crate on the left, facing the front camera.
  scenefile::MaterialChunk screen;
  screen.diffuse = 0xFFFFFFFF;
  screen.ambient = 0xFFFFFFFF;
  screen.emissive = 0xFF404040;
  screen.diffuseMap = scene.Texture("screen.png");  // screen.seq beside it animates it
  const std::uint32_t screenMaterial = scene.Material("screen", screen);
  const float s = std::sqrt(0.5f);
  scene.MeshNode("screen", world, {-3.2f, -3.5f, 1.6f}, MakePlane(2.6f, 1), screenMaterial,
                 {-s, 0, 0, s});  // the plane's +z turned to face +y
}
