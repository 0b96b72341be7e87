#include "scene/loading/CameraActivatorController.h"

#include <algorithm>

#include "scene/Camera.h"
#include "scene/SceneGraph.h"

namespace {
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
}

CameraActivatorController::CameraActivatorController(Camera* camera, bool looping)
    : camera(camera) {
  timing.looping = looping;
}

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
  if (t > static_cast<float>(timing.loopLength) && !timing.looping) return;
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
  // The next cycle. A zero loop length re-arms the same cycle at its first time,
  // so the camera is made active again at each later evaluation (one switch per
  // evaluation, so this cannot spin). A cycle past the end of the 32-bit clock
  // is never reached.
  if (nextSwitch == kNone && timing.looping &&
      std::uint64_t{cycleBase} + timing.loopLength + switchTimes.front() < kNone) {
    cycleBase += timing.loopLength;
    nextSwitch = cycleBase + switchTimes.front();
  }
}
