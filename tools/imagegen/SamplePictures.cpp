// The sample show's pictures: a sky (JPEG), hills with a transparent sky (PNG with
// alpha), a glowing orb (PNG with alpha, black where transparent so it also adds
// well), a patterned panel (JPEG), a spinner (picture sequence at a fixed rate) and
// a pulse (timed picture sequence).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/imagegen/Pictures.h"

namespace {

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }

double Mix(double a, double b, double t) { return a + (b - a) * t; }

RgbaImage Sky() {
  RgbaImage image(1024, 768);
  for (int y = 0; y < image.height; ++y) {
    const double t = static_cast<double>(y) / (image.height - 1);
    for (int x = 0; x < image.width; ++x) {
      const double glow = std::exp(-std::pow((x - 700.0) / 260.0, 2)) * t * t;
      image.at(x, y) = {Byte(Mix(8, 190, t * t) + 60 * glow), Byte(Mix(12, 70, t * t) + 50 * glow),
                        Byte(Mix(48, 96, t)), 255};
    }
  }
  // A few fixed stars in the dark upper part.
  unsigned seed = 12345;
  for (int i = 0; i < 140; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int x = static_cast<int>(seed >> 8) % image.width;
    seed = seed * 1103515245u + 12345u;
    const int y = static_cast<int>(seed >> 8) % (image.height / 2);
    const std::uint8_t level = static_cast<std::uint8_t>(150 + (seed >> 4) % 100);
    image.at(x, y) = {level, level, level, 255};
  }
  return image;
}

double Ridge(double x, double base, double a, double b) {
  return base + a * std::sin(x * 0.006 + b) + a * 0.5 * std::sin(x * 0.017 + 2 * b);
}

RgbaImage Hills() {
  RgbaImage image(1024, 256, {0, 0, 0, 0});
  for (int x = 0; x < image.width; ++x) {
    const double back = Ridge(x, 90, 40, 1.0), front = Ridge(x, 170, 30, 4.0);
    for (int y = 0; y < image.height; ++y) {
      const double inFront = std::clamp(y - front + 0.5, 0.0, 1.0);
      const double inBack = std::clamp(y - back + 0.5, 0.0, 1.0);
      const double a = std::max(inFront, inBack);
      if (a <= 0) continue;
      const double r = Mix(52, 14, inFront), g = Mix(30, 10, inFront), b = Mix(78, 28, inFront);
      image.at(x, y) = {Byte(r), Byte(g), Byte(b), Byte(255 * a)};
    }
  }
  return image;
}

RgbaImage Orb() {
  RgbaImage image(160, 160, {0, 0, 0, 0});
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const double d = std::hypot(x - 79.5, y - 79.5) / 80.0;
      if (d >= 1) continue;
      const double glow = std::pow(1 - d, 2.2), core = std::exp(-d * d * 40);
      const double level = std::min(1.0, glow + core);
      image.at(x, y) = {Byte(255 * level), Byte((170 * glow + 255 * core) * level),
                        Byte((60 * glow + 230 * core) * level), Byte(255 * level)};
    }
  return image;
}

RgbaImage Panel() {
  RgbaImage image(320, 200);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const bool border = x < 6 || y < 6 || x >= image.width - 6 || y >= image.height - 6;
      const bool stripe = ((x + y) / 16) % 2 == 0;
      image.at(x, y) = border ? Rgba{240, 240, 230, 255}
                              : stripe ? Rgba{20, 120, 130, 255} : Rgba{30, 60, 90, 255};
    }
  return image;
}

RgbaImage SpinnerFrame(int lit) {
  RgbaImage image(128, 128, {0, 0, 0, 0});
  const double pi = std::acos(-1.0);
  for (int dot = 0; dot < 12; ++dot) {
    const double angle = dot * pi / 6;
    const double cx = 63.5 + 44 * std::sin(angle), cy = 63.5 - 44 * std::cos(angle);
    const int age = (lit - dot + 12) % 12;
    const double level = age < 4 ? 1.0 - age * 0.22 : 0.2;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        const double cover = std::clamp(10.0 - std::hypot(x - cx, y - cy), 0.0, 1.0);
        if (cover <= 0) continue;
        image.at(x, y) = {Byte(120 + 100 * level), Byte(200 + 55 * level), 255,
                          Byte(255 * cover * level)};
      }
  }
  return image;
}

RgbaImage PulseFrame(Rgba colour, int inset) {
  RgbaImage image(64, 64, {20, 20, 20, 255});
  for (int y = inset; y < 64 - inset; ++y)
    for (int x = inset; x < 64 - inset; ++x) image.at(x, y) = colour;
  return image;
}

}  // namespace

bool WriteSamplePictures(const std::string& folder) {
  const std::string f = folder + "/";
  bool ok = WriteJpeg(f + "sky.jpg", Sky(), 80) && WritePng(f + "hills.png", Hills(), PngKind::Rgba) &&
            WritePng(f + "orb.png", Orb(), PngKind::Rgba) && WriteJpeg(f + "panel.jpg", Panel(), 85);
  std::string spinner = "fps = 12\n";
  for (int i = 0; ok && i < 12; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "spin%02d.png", i);
    ok = WritePng(f + name, SpinnerFrame(i), PngKind::Rgba);
    spinner += std::string(name) + "\n";
  }
  ok = ok && WriteText(f + "spinner.seq", spinner);
  ok = ok && WritePng(f + "pulse0.png", PulseFrame({230, 80, 60, 255}, 4), PngKind::Rgb) &&
       WritePng(f + "pulse1.png", PulseFrame({240, 200, 60, 255}, 12), PngKind::Rgb) &&
       WritePng(f + "pulse2.png", PulseFrame({90, 220, 120, 255}, 20), PngKind::Rgb);
  ok = ok && WriteText(f + "pulse.seq",
                       "# time (ms) and picture of each frame of one pass\n"
                       "0    pulse0.png\n"
                       "400  pulse1.png\n"
                       "600  pulse2.png\n");
  return ok;
}
