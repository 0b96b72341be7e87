#include "scene/Mesh.h"
#include "scene/ContractPending.h"

Mesh::Mesh(std::int32_t id, SceneGraph* graph) : Base(id, graph), vertexBuffer(graph), indexBuffer(graph) { ContractPending("Mesh::Mesh"); }
Mesh::~Mesh() { ContractPending("Mesh::~Mesh"); }
float* Mesh::GetControlField(const char*) { ContractPending("Mesh::GetControlField"); }
void Mesh::Link() { ContractPending("Mesh::Link"); }
void Mesh::BindStreams() { ContractPending("Mesh::BindStreams"); }
void Mesh::SetWorld(const Group&) { ContractPending("Mesh::SetWorld"); }
