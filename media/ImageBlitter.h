// One still picture, timed picture sequence or flat colour, held in a Direct3D
// texture (none for a colour) and drawn as one screen-aligned quad in the script
// player's virtual screen: one picture pixel per unit, origin top-left, y down.
// Everything is loaded in the constructor; a missing or unreadable picture ends
// the process ("Image load failed: <name>"), and so does a texture in a format
// other than A8R8G8B8, X8R8G8B8 or L8 ("Unknown texture format", the file named on
// standard error). A picture larger than the device's textures is shown scaled to
// the device's limit; a sequence decodes each distinct file once (SequencePictures).
// A texture the device refuses is never drawn. The layer showing the image sets positionX,
// positionY, alpha and additive just before each draw. Not here: layers, timing
// of moves and fades. Entry thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/ComOwner.h"
#include "platform/d3d9/d3d9.h"

class ImageBlitter {
 public:
  // Position and one texture coordinate pair: vertex format D3DFVF_XYZ | D3DFVF_TEX1.
  struct Vertex {
    float x, y, z;
    float u, v;
  };
  struct Frame {
    float time;                           // ms from the start of one pass
    ComOwner<IDirect3DSurface9> surface;  // decoded picture, system memory; may be null
  };

  // `device` is lent. A colour takes (true, 0xAARRGGBB) and an empty file name; a
  // picture or sequence takes (false, anything). Screen sizes are virtual units.
  ImageBlitter(IDirect3DDevice9* device, const char* fileName, std::uint32_t screenWidth,
               std::uint32_t screenHeight, bool isColor, std::uint32_t color);
  virtual ~ImageBlitter();
  ImageBlitter(const ImageBlitter&) = delete;
  ImageBlitter& operator=(const ImageBlitter&) = delete;

  // Steps a sequence to script time `time` (ms; at most one frame per call), then
  // draws the quad and restores the depth, lighting and transform state it changed.
  void draw(float time);
  // What draw does to a sequence, without drawing: frames skipped over on a
  // virtual clock leave it where the drawn frames would have.
  void step(float time);

  // Read-only views for callers that inspect a loaded image.
  std::uint32_t width() const { return imageWidth; }
  std::uint32_t height() const { return imageHeight; }
  bool drawable() const { return isColor || texture != nullptr; }
  std::uint32_t flatColor() const { return color; }
  bool blendsAlpha() const { return hasAlpha; }
  std::size_t frameCount() const { return frames.size(); }
  std::uint32_t frameIndex() const { return currentFrame; }
  float sequencePeriod() const { return period; }
  const Vertex* quad() const { return vertices; }

 private:
  void loadPicture(const std::string& fileName);
  void loadSequence(const std::string& fileName);
  void createTexture();
  void checkTexture(const std::string& fileName);
  void computeVertices();
  void stepSequence(float time);
  bool setColorStates();
  bool setPictureStates();
  void drawQuad(bool blend);

  Vertex vertices[4] = {};
  bool isColor;
  std::uint32_t color;          // 0xAARRGGBB, colours only
  IDirect3DDevice9* device;     // not owned
  ComOwner<IDirect3DTexture9> texture;
  std::vector<Frame> frames;    // empty for a single picture
  std::uint32_t currentFrame = 0;
  float period = 0;             // ms, one pass of the sequence
  bool hasAlpha = false;
  std::uint32_t imageWidth = 0, imageHeight = 0;      // pixels; the screen for a colour
  std::uint32_t textureWidth = 0, textureHeight = 0;  // level 0 as the device reports it
  // Pixels of the decoded picture: the picture's size, or less where it was scaled
  // down to the device's largest texture.
  std::uint32_t surfaceWidth = 0, surfaceHeight = 0;
  D3DFORMAT pixelFormat = D3DFMT_UNKNOWN;
  std::uint32_t screenHeight, screenWidth;            // virtual units

 public:
  bool additive = true;
  float positionX = 0;  // virtual units, top-left corner
  float positionY = 0;
  float alpha = 1.0f;   // 0..1, clamped by the caller
};
