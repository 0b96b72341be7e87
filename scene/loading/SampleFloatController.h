// One float control field animated through evenly spaced samples over a key
// range, with an optional loop; built from a scene-file chunk.
#pragma once

#include <vector>

#include "scene/Preparable.h"
#include "scene/loading/Controller.h"
#include "scene/loading/KeySpan.h"

class SampleFloatController : public Controller {
 public:
  SampleFloatController(Preparable* target, const char* fieldName);
  void Evaluate(float time) override;

  Preparable* target;  // not owned
  float* field;
  std::vector<float> samples;
  KeyTiming timing;
};
