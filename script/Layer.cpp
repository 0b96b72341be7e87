#include "script/Layer.h"

#include "media/ImageBlitter.h"

namespace {
// Not-a-number (a fade of infinite speed, say) counts as 0: the image is hidden.
float ClampUnit(float v) { return v >= 1.0f ? 1.0f : v > 0.0f ? v : 0.0f; }
}  // namespace

void Layer::draw(float t) {
  image->positionX = x;
  image->positionY = y;
  image->alpha = ClampUnit(alpha);
  image->additive = additive;
  image->draw(t);
  advance(t);
}

void Layer::skip(float t) {
  image->step(t);
  advance(t);
}

void Layer::advance(float t) {
  const float k = 0.001f;
  x = (t - moveStart) * velocityX * k + baseX;
  y = (t - moveStart) * velocityY * k + baseY;
  alpha = (t - fadeStart) * alphaVelocity * k + baseAlpha;
}
