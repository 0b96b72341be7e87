#include "scene/loading/PRSController.h"
#include "scene/ContractPending.h"

PRSController::PRSController(Group* node) : node(node) { ContractPending("PRSController::PRSController"); }
void PRSController::Evaluate(float) { ContractPending("PRSController::Evaluate"); }
