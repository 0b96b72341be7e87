#include "scene/loading/SampleFloatController.h"

#include "scene/loading/KeySpan.h"

SampleFloatController::SampleFloatController(Preparable* target, const char* fieldName)
    : target(target), field(target->GetControlField(fieldName)) {}

void SampleFloatController::Evaluate(float time) {
  if (!field || samples.empty()) return;
  const KeyChoice keys = timing.Choose(time, samples.size());
  if (keys.Alone())
    *field = samples[keys.first];
  else
    *field = (1 - keys.blend) * samples[keys.first] + keys.blend * samples[keys.second];
  target->Update(false);
}
