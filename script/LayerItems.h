// The items that put images on numbered layers and move and fade them. Every
// one of them does nothing for a layer number that has no layer.
#pragma once

#include <cstdint>
#include <string>

#include "script/ScriptItem.h"

class SetLayer : public ScriptItem {
 public:
  SetLayer(Scripter* s, std::string slotName, std::int32_t layer)
      : ScriptItem(s), slotName(std::move(slotName)), layer(layer) {}
  bool execute(float now) override;
  std::string slotName;
  std::int32_t layer;
};

class RemoveLayer : public ScriptItem {
 public:
  RemoveLayer(Scripter* s, std::int32_t layer) : ScriptItem(s), layer(layer) {}
  bool execute(float now) override;
  std::int32_t layer;
};

class ClearLayers : public ScriptItem {
 public:
  using ScriptItem::ScriptItem;
  bool execute(float now) override;
};

class SetLayerPos : public ScriptItem {
 public:
  SetLayerPos(Scripter* s, std::int32_t layer, float x, float y)
      : ScriptItem(s), layer(layer), x(x), y(y) {}
  bool execute(float now) override;
  std::int32_t layer;
  float x, y;
};

class SetLayerAlpha : public ScriptItem {
 public:
  SetLayerAlpha(Scripter* s, std::int32_t layer, float alpha)
      : ScriptItem(s), layer(layer), alpha(alpha) {}
  bool execute(float now) override;
  std::int32_t layer;
  float alpha;
};

class SetLayerPosDelta : public ScriptItem {
 public:
  SetLayerPosDelta(Scripter* s, std::int32_t layer, float velocityX, float velocityY)
      : ScriptItem(s), layer(layer), velocityX(velocityX), velocityY(velocityY) {}
  bool execute(float now) override;
  std::int32_t layer;
  float velocityX, velocityY;
};

class SetLayerAlphaDelta : public ScriptItem {
 public:
  SetLayerAlphaDelta(Scripter* s, std::int32_t layer, float alphaVelocity)
      : ScriptItem(s), layer(layer), alphaVelocity(alphaVelocity) {}
  bool execute(float now) override;
  std::int32_t layer;
  float alphaVelocity;
};

class SetLayerAdditive : public ScriptItem {
 public:
  SetLayerAdditive(Scripter* s, std::int32_t layer, bool additive)
      : ScriptItem(s), layer(layer), additive(additive) {}
  bool execute(float now) override;
  std::int32_t layer;
  bool additive;
};
