#include "scene/loading/PRSController.h"

#include "scene/Group.h"
#include "scene/loading/KeySpan.h"

PRSController::PRSController(Group* node) : node(node) {}

void PRSController::Evaluate(float time) {
  if (keys.empty()) return;
  const KeyChoice choice = timing.Choose(time, keys.size());
  if (choice.Alone()) {
    node->transform = keys[choice.first];
  } else {
    const Transform& k0 = keys[choice.first];
    const Transform& k1 = keys[choice.second];
    const float f = choice.blend;
    Transform& out = node->transform;
    out.position = k0.position + (k1.position - k0.position) * f;
    D3DXQuaternionSlerp(&out.rotation, &k0.rotation, &k1.rotation, f);
    out.scale = k0.scale + (k1.scale - k0.scale) * f;
  }
  node->Update(true);
}
