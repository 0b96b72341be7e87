#include "scene/Camera.h"
#include "scene/ContractPending.h"

Camera::Camera(std::int32_t id, SceneGraph* graph) : Group(id, graph) { ContractPending("Camera::Camera"); }
Camera::~Camera() { ContractPending("Camera::~Camera"); }
void Camera::Update(bool) { ContractPending("Camera::Update"); }
float* Camera::GetControlField(const char*) { ContractPending("Camera::GetControlField"); }
void Camera::Link() { ContractPending("Camera::Link"); }
void Camera::Activate() { ContractPending("Camera::Activate"); }
void Camera::Deactivate() { ContractPending("Camera::Deactivate"); }
bool Camera::SphereVisible(const D3DXVECTOR3&, float) const { ContractPending("Camera::SphereVisible"); }
