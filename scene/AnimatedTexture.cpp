#include "scene/AnimatedTexture.h"
#include "scene/ContractPending.h"

AnimatedTexture::AnimatedTexture(std::int32_t id, SceneGraph* graph) : Texture(id, graph) { ContractPending("AnimatedTexture::AnimatedTexture"); }
AnimatedTexture::~AnimatedTexture() { ContractPending("AnimatedTexture::~AnimatedTexture"); }
void AnimatedTexture::LoadDescription(const std::uint8_t*, std::size_t, float, float) { ContractPending("AnimatedTexture::LoadDescription"); }
void AnimatedTexture::SetActiveImage(std::int32_t) { ContractPending("AnimatedTexture::SetActiveImage"); }
void AnimatedTexture::Update(bool) { ContractPending("AnimatedTexture::Update"); }
float* AnimatedTexture::GetControlField(const char*) { ContractPending("AnimatedTexture::GetControlField"); }
