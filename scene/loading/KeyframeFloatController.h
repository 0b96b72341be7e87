// One float control field animated through freely timed keys, interpolated
// linearly; built from a node's property text.
#pragma once

#include <vector>

#include "scene/Preparable.h"
#include "scene/loading/Controller.h"

class KeyframeFloatController : public Controller {
 public:
  struct Key {
    float time;
    float value;
  };
  // Binds `fieldName` on `target` at once (unknown names end the show, except on
  // an animated texture, where the field is null and nothing is written).
  KeyframeFloatController(Preparable* target, const char* fieldName, bool looping);

  void AddKey(float time, float value);
  void Evaluate(float time) override;

  float firstTime = 1e10f;
  float lastTime = -1e10f;
  bool looping;
  std::vector<Key> keys;
  Preparable* target;  // not owned
  float* field;
};
