// One numbered screen layer: an image shown at a position and opacity that move
// linearly in script time from the moment each movement or fade started.
#pragma once

class ImageBlitter;

struct Layer {
  ImageBlitter* image = nullptr;  // not owned; the layer is removed before its image is deleted
  bool additive = false;
  float x = 0, y = 0;             // virtual units, top-left corner of the image
  float alpha = 1;                // unclamped; clamped only when drawn
  float velocityX = 0, velocityY = 0;  // units per second
  float alphaVelocity = 0;        // per second
  float moveStart = 0;            // script ms
  float fadeStart = 0;            // script ms
  float baseX = 0, baseY = 0;     // position at moveStart
  float baseAlpha = 1;            // opacity at fadeStart

  // Shows the layer's image at script time t, then computes the state the next
  // frame shows (so animation runs one frame behind the clock).
  void draw(float t);
  // The same without drawing: the sequence steps and the state moves on.
  void skip(float t);
  // The state this layer will show at script time t, from its movement and fade.
  void advance(float t);
};
