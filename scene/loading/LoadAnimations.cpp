#include "scene/Preparable.h"
#include "scene/loading/Configuration.h"
#include "scene/ContractPending.h"

void Preparable::LoadAnimations(SceneGraph*, const Configuration&, float, float) { ContractPending("Preparable::LoadAnimations"); }
