#include "scene/loading/CameraActivatorController.h"

#include <algorithm>

#include "scene/Camera.h"
#include "scene/SceneGraph.h"

namespace {
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
}

CameraActivatorController::CameraActivatorController(Camera* camera, bool looping)
    : camera(camera), looping(looping) {}

void CameraActivatorController::AddSwitchTime(std::uint32_t value) {
  switchTimes.push_back(value);
}

void CameraActivatorController::Finish() {
  std::sort(switchTimes.begin(), switchTimes.end());
  nextSwitch = switchTimes.empty() ? kNone : switchTimes.front();
  cycleBase = 0;
}

void CameraActivatorController::Evaluate(float t) {
  if (switchTimes.empty()) return;
  if (t > static_cast<float>(animEnd) && !looping) return;
  if (!(t > static_cast<float>(nextSwitch))) return;
  camera->graph->SetActiveCamera(camera);
  const std::uint32_t previous = nextSwitch;
  nextSwitch = kNone;
  for (std::uint32_t entry : switchTimes) {
    if (cycleBase + entry > previous) {
      nextSwitch = cycleBase + entry;
      break;
    }
  }
  // A zero loop length has no next cycle; nor has one that would pass the
  // end of the 32-bit clock.
  if (nextSwitch == kNone && looping && animEnd != 0 &&
      std::uint64_t{cycleBase} + animEnd + switchTimes.front() < kNone) {
    cycleBase += animEnd;
    nextSwitch = cycleBase + switchTimes.front();
  }
}
