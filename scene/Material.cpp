#include "scene/Material.h"
#include "scene/ContractPending.h"

Material::Material(std::int32_t id, SceneGraph* graph) : Base(id, graph), diffuseMap(graph), sphereMap(graph), specularMap(graph), addMap(graph), lightMap(graph) { ContractPending("Material::Material"); }
Material::~Material() { ContractPending("Material::~Material"); }
void Material::Link() { ContractPending("Material::Link"); }
void Material::Apply(float) { ContractPending("Material::Apply"); }
bool Material::IsTransparent(float) { ContractPending("Material::IsTransparent"); }
float* Material::GetControlField(const char*) { ContractPending("Material::GetControlField"); }
