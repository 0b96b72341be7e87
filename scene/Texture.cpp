#include "scene/Texture.h"
#include "scene/ContractPending.h"

Texture::Texture(std::int32_t id, SceneGraph* graph) : Base(id, graph), maxStages(0) { ContractPending("Texture::Texture"); }
Texture::~Texture() { ContractPending("Texture::~Texture"); }
void Texture::load(const std::string&) { ContractPending("Texture::load"); }
void Texture::apply(std::uint32_t&, int) { ContractPending("Texture::apply"); }
IDirect3DTexture9* Texture::fetch(const std::string&) { ContractPending("Texture::fetch"); }
