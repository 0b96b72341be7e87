#include "scene/Light.h"
#include "scene/ContractPending.h"

Light::Light(std::int32_t id, SceneGraph* graph) : Group(id, graph) { ContractPending("Light::Light"); }
Light::~Light() { ContractPending("Light::~Light"); }
void Light::Update(bool) { ContractPending("Light::Update"); }
float* Light::GetControlField(const char*) { ContractPending("Light::GetControlField"); }
void Light::Link() { ContractPending("Light::Link"); }
