// Makes one camera the active camera at listed times, optionally each cycle.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/loading/Controller.h"
#include "scene/loading/KeySpan.h"

class Camera;

class CameraActivatorController : public Controller {
 public:
  CameraActivatorController(Camera* camera, bool looping);
  void AddSwitchTime(std::uint32_t value);
  void Finish();  // sorts the times; the first becomes nextSwitch
  void Evaluate(float time) override;

  std::vector<std::uint32_t> switchTimes;
  Camera* camera;  // not owned
  std::uint32_t nextSwitch = 0xFFFFFFFFu;
  std::uint32_t cycleBase = 0;
  // The loop length ends the activations, and is the cycle length when looping.
  LoopTiming timing;
};
