#include "scene/loading/KeyframeFloatController.h"

#include <algorithm>
#include <cmath>

#include "scene/SceneFatal.h"

KeyframeFloatController::KeyframeFloatController(Preparable* target, const char* fieldName,
                                                 bool looping)
    : looping(looping), target(target), field(target->GetControlField(fieldName)) {}

void KeyframeFloatController::AddKey(float time, float value) {
  keys.push_back({time, value});
  firstTime = std::min(firstTime, time);
  lastTime = std::max(lastTime, time);
}

void KeyframeFloatController::Evaluate(float t) {
  if (!field || keys.empty()) return;
  if (t <= firstTime) {
    *field = keys.front().value;
    target->Update(false);
    return;
  }
  const float d = lastTime - firstTime;
  if (t >= lastTime) {
    // Keys that share one time have no cycle to loop through: the last key holds.
    if (!looping || !(d > 0)) {
      *field = keys.back().value;
      target->Update(false);
      return;
    }
    const float x = t - firstTime;
    const float q = std::trunc(x / d);
    t = x - q * d + firstTime;
    // Rounding may leave the reduced time a hair outside the cycle.
    if (!(t < lastTime)) {
      *field = keys.back().value;
      target->Update(false);
      return;
    }
  }
  // The first key, in list order, later than t.
  std::size_t later = 0;
  while (later < keys.size() && !(keys[later].time > t)) ++later;
  if (later == keys.size()) SceneFatal("Mit\xE4hittoo");  // Windows-1252 text
  if (later == 0) {
    // Keys out of order: nothing comes before the first key, which holds.
    *field = keys.front().value;
  } else {
    const Key& k0 = keys[later - 1];
    const Key& k1 = keys[later];
    const float f = (t - k0.time) / (k1.time - k0.time);
    *field = (1 - f) * k0.value + f * k1.value;
  }
  target->Update(false);
}
