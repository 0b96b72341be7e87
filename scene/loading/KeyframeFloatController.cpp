#include "scene/loading/KeyframeFloatController.h"
#include "scene/ContractPending.h"

KeyframeFloatController::KeyframeFloatController(Preparable* target, const char*, bool looping) : looping(looping), target(target), field(nullptr) { ContractPending("KeyframeFloatController::KeyframeFloatController"); }
void KeyframeFloatController::AddKey(float, float) { ContractPending("KeyframeFloatController::AddKey"); }
void KeyframeFloatController::Evaluate(float) { ContractPending("KeyframeFloatController::Evaluate"); }
