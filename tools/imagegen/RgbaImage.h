// A picture being drawn by imagegen: 8-bit RGBA pixels, rows top to bottom, and
// the writers that store it as PNG (grey, RGB, RGBA or palette) or JPEG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct RgbaImage {
  RgbaImage(int width, int height, Rgba fill = {}) : width(width), height(height),
      pixels(static_cast<std::size_t>(width) * height, fill) {}
  Rgba& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

  int width;
  int height;
  std::vector<Rgba> pixels;
};

enum class PngKind { Grey, GreyAlpha, Rgb, Rgba, Palette };

// False (with a line on standard error) when the file cannot be written.
bool WritePng(const std::string& path, const RgbaImage& image, PngKind kind);
bool WriteJpeg(const std::string& path, const RgbaImage& image, int quality);
bool WriteText(const std::string& path, const std::string& text);
