#include "scene/Sprite.h"
#include "scene/ContractPending.h"

Sprite::Sprite(std::int32_t id, SceneGraph* graph) : Base(id, graph), texture(graph) { ContractPending("Sprite::Sprite"); }
Sprite::~Sprite() { ContractPending("Sprite::~Sprite"); }
float* Sprite::GetControlField(const char*) { ContractPending("Sprite::GetControlField"); }
bool Sprite::DrawsBefore(const Sprite*, const Sprite*) { ContractPending("Sprite::DrawsBefore"); }
