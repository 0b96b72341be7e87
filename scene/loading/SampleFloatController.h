// One float control field animated through evenly spaced samples over a key
// range, with an optional loop; built from a scene-file chunk.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/Preparable.h"
#include "scene/loading/Controller.h"

class SampleFloatController : public Controller {
 public:
  SampleFloatController(Preparable* target, const char* fieldName);
  void Evaluate(float time) override;

  Preparable* target;  // not owned
  float* field;
  std::vector<float> samples;
  bool looping = false;
  std::uint32_t animStart = 0;  // ms
  std::uint32_t animEnd = 0;    // loop length
  std::uint32_t keyStart = 0;   // time of the first sample
  std::uint32_t keyEnd = 0;     // time of the last sample
};
