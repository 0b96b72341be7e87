// A node moved, turned and scaled through evenly spaced transform keys.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/Transform.h"
#include "scene/loading/Controller.h"

class Group;

class PRSController : public Controller {
 public:
  explicit PRSController(Group* node);
  void Evaluate(float time) override;

  Group* node;  // not owned
  std::vector<Transform> keys;
  bool looping = false;
  std::uint32_t animStart = 0, animEnd = 0, keyStart = 0, keyEnd = 0;  // ms
};
