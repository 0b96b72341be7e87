#include "scene/DefaultProcessor.h"
#include "scene/ContractPending.h"

DefaultProcessor::DefaultProcessor(std::int32_t id, SceneGraph* graph) : Processor(id, graph) { ContractPending("DefaultProcessor::DefaultProcessor"); }
DefaultProcessor::~DefaultProcessor() { ContractPending("DefaultProcessor::~DefaultProcessor"); }
void DefaultProcessor::ClearLists() { ContractPending("DefaultProcessor::ClearLists"); }
void DefaultProcessor::Draw() { ContractPending("DefaultProcessor::Draw"); }
void DefaultProcessor::CollectNode(Group*) { ContractPending("DefaultProcessor::CollectNode"); }
void DefaultProcessor::DrawSubMesh(SubMesh*) { ContractPending("DefaultProcessor::DrawSubMesh"); }
