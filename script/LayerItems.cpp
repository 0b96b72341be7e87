#include "script/LayerItems.h"

#include "script/Scripter.h"

namespace {
Layer* Find(Scripter* scripter, std::int32_t number) {
  auto it = scripter->layers.find(number);
  return it == scripter->layers.end() ? nullptr : &it->second;
}
}  // namespace

bool SetLayer::execute(float) {
  scripter->layers.erase(layer);
  auto image = scripter->images.find(slotName);
  if (image != scripter->images.end()) {
    Layer fresh;
    fresh.image = image->second.get();
    scripter->layers.emplace(layer, fresh);
  }
  return true;
}

bool RemoveLayer::execute(float) {
  scripter->layers.erase(layer);
  return true;
}

bool ClearLayers::execute(float) {
  scripter->layers.clear();
  return true;
}

bool SetLayerPos::execute(float) {
  if (Layer* l = Find(scripter, layer)) {
    l->x = l->baseX = x;
    l->y = l->baseY = y;
  }
  return true;
}

bool SetLayerAlpha::execute(float) {
  if (Layer* l = Find(scripter, layer)) l->alpha = l->baseAlpha = alpha;
  return true;
}

bool SetLayerPosDelta::execute(float now) {
  if (Layer* l = Find(scripter, layer)) {
    l->baseX = l->x;
    l->baseY = l->y;
    l->moveStart = now;
    l->velocityX = velocityX;
    l->velocityY = velocityY;
  }
  return true;
}

bool SetLayerAlphaDelta::execute(float now) {
  if (Layer* l = Find(scripter, layer)) {
    l->baseAlpha = l->alpha;
    l->fadeStart = now;
    l->alphaVelocity = alphaVelocity;
  }
  return true;
}

bool SetLayerAdditive::execute(float) {
  if (Layer* l = Find(scripter, layer)) l->additive = additive;
  return true;
}
