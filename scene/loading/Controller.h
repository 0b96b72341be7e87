// Base of every animation controller: driven with the scene time (ms) by its
// scene graph, which owns it.
#pragma once

class Controller {
 public:
  virtual ~Controller() = default;
  virtual void Evaluate(float time) = 0;
};
