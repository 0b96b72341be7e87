// A node moved, turned and scaled through evenly spaced transform keys.
#pragma once

#include <vector>

#include "scene/Transform.h"
#include "scene/loading/Controller.h"
#include "scene/loading/KeySpan.h"

class Group;

class PRSController : public Controller {
 public:
  explicit PRSController(Group* node);
  void Evaluate(float time) override;

  Group* node;  // not owned
  std::vector<Transform> keys;
  KeyTiming timing;
};
