#include "scene/loading/SampleFloatController.h"
#include "scene/ContractPending.h"

SampleFloatController::SampleFloatController(Preparable* target, const char*) : target(target), field(nullptr) { ContractPending("SampleFloatController::SampleFloatController"); }
void SampleFloatController::Evaluate(float) { ContractPending("SampleFloatController::Evaluate"); }
