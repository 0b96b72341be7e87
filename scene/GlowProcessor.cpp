#include "scene/GlowProcessor.h"
#include "scene/ContractPending.h"

GlowProcessor::GlowProcessor(std::int32_t id, SceneGraph* graph) : DefaultProcessor(id, graph) { ContractPending("GlowProcessor::GlowProcessor"); }
GlowProcessor::~GlowProcessor() { ContractPending("GlowProcessor::~GlowProcessor"); }
void GlowProcessor::Draw() { ContractPending("GlowProcessor::Draw"); }
void GlowProcessor::SetBlurTaps(float, float, bool, bool) { ContractPending("GlowProcessor::SetBlurTaps"); }
