#include "scene/loading/CameraActivatorController.h"
#include "scene/ContractPending.h"

CameraActivatorController::CameraActivatorController(Camera* camera, bool looping) : camera(camera), looping(looping) { ContractPending("CameraActivatorController::CameraActivatorController"); }
void CameraActivatorController::AddSwitchTime(std::uint32_t) { ContractPending("CameraActivatorController::AddSwitchTime"); }
void CameraActivatorController::Finish() { ContractPending("CameraActivatorController::Finish"); }
void CameraActivatorController::Evaluate(float) { ContractPending("CameraActivatorController::Evaluate"); }
