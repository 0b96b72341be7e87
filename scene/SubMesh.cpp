#include "scene/SubMesh.h"
#include "scene/ContractPending.h"

SubMesh::SubMesh(std::int32_t id, SceneGraph* graph) : Base(id, graph), material(graph) { ContractPending("SubMesh::SubMesh"); }
bool SubMesh::IsTransparent() { ContractPending("SubMesh::IsTransparent"); }
