// One picture, picture sequence or flat colour, drawn as a screen quad in the
// script player's virtual screen at the position, opacity and blend mode that
// the layer showing it sets just before each draw.
#pragma once

#include <cstdint>

struct IDirect3DDevice9;

class ImageBlitter {
 public:
  ImageBlitter(IDirect3DDevice9* device, const char* fileName, std::uint32_t screenWidth,
               std::uint32_t screenHeight, bool isColor, std::uint32_t color);
  virtual ~ImageBlitter();
  ImageBlitter(const ImageBlitter&) = delete;
  ImageBlitter& operator=(const ImageBlitter&) = delete;

  void draw(float time);

  float positionX = 0;
  float positionY = 0;
  float alpha = 1;
  bool additive = false;
};
