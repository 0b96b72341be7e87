// Values of an animation channel at any time, as the source interpolates them:
// linear (spherical for rotations), step, or cubic Hermite splines. Before the first
// key the first value holds, after the last key the last one.
#pragma once

#include <vector>

#include "tools/sceneimport/ImportModel.h"

namespace sceneimport {

std::vector<float> SampleChannel(const ImportChannel& channel, float seconds);

}  // namespace sceneimport
