// A stand-in animatable object for controller tests: one float field named
// "Value", and a count of the updates the controllers ask for.
#pragma once

#include <string_view>

#include "scene/Preparable.h"

class FloatTarget : public Preparable {
 public:
  void Update(bool recurse) override {
    ++updates;
    lastRecurse = recurse;
  }
  float* GetControlField(const char* name) override {
    return std::string_view(name) == "Value" ? &value : nullptr;
  }

  float value = -123.0f;
  int updates = 0;
  bool lastRecurse = true;
};
