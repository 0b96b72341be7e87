#include "scene/loading/VertexController.h"
#include "scene/ContractPending.h"

VertexController::VertexController(MultiVertexBuffer* buffer) : buffer(buffer) { ContractPending("VertexController::VertexController"); }
void VertexController::Evaluate(float) { ContractPending("VertexController::Evaluate"); }
