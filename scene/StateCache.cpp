#include "scene/StateCache.h"
#include "scene/ContractPending.h"

StateCache::StateCache(IDirect3DDevice9* device) : aspect(0), device(device) { ContractPending("StateCache::StateCache"); }
StateCache::~StateCache() { ContractPending("StateCache::~StateCache"); }
void StateCache::SetRenderState(D3DRENDERSTATETYPE, DWORD) { ContractPending("StateCache::SetRenderState"); }
void StateCache::SetMaterial(const D3DMATERIAL9&) { ContractPending("StateCache::SetMaterial"); }
void StateCache::SetLight(const D3DLIGHT9*, std::int32_t&) { ContractPending("StateCache::SetLight"); }
void StateCache::DrawIndexed(D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT) { ContractPending("StateCache::DrawIndexed"); }
void StateCache::SetRenderTargetTexture(IDirect3DTexture9*) { ContractPending("StateCache::SetRenderTargetTexture"); }
void StateCache::ResetStages(DWORD) { ContractPending("StateCache::ResetStages"); }
bool StateCache::CreateVertexBuffer(VertexBuffer&) { ContractPending("StateCache::CreateVertexBuffer"); }
bool StateCache::CreateIndexBuffer(IndexBuffer&) { ContractPending("StateCache::CreateIndexBuffer"); }
IDirect3DTexture9* StateCache::LookupTexture(const std::string&) { ContractPending("StateCache::LookupTexture"); }
