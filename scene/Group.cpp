#include "scene/Group.h"
#include "scene/ContractPending.h"

Group::Group(std::int32_t id, SceneGraph* graph) : Base(id, graph), parent(graph) { ContractPending("Group::Group"); }
Group::~Group() { ContractPending("Group::~Group"); }
void Group::Update(bool) { ContractPending("Group::Update"); }
float* Group::GetControlField(const char*) { ContractPending("Group::GetControlField"); }
void Group::Link() { ContractPending("Group::Link"); }
void Group::FaceCamera() { ContractPending("Group::FaceCamera"); }
void Group::Collect(Processor*) { ContractPending("Group::Collect"); }
