#include "scene/StateCache.h"

#include <memory>

#include "archive/ReadWholeFile.h"
#include "platform/d3dx/d3dx9tex.h"
#include "scene/IndexBuffer.h"
#include "scene/SceneFatal.h"
#include "scene/VertexBuffer.h"

StateCache::StateCache(IDirect3DDevice9* device)
    : aspect(0x1.55551Ep+0f), device(device) {}

StateCache::~StateCache() = default;

void StateCache::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  device->SetRenderState(state, value);
}

void StateCache::SetMaterial(const D3DMATERIAL9& material) { device->SetMaterial(&material); }

void StateCache::SetLight(const D3DLIGHT9* light, std::int32_t& index) {
  if (index == -1) index = nextLightIndex++;
  const DWORD slot = static_cast<DWORD>(index);
  if (!light) {
    device->LightEnable(slot, FALSE);
    return;
  }
  // Enabled whatever the device made of the light: one it refuses leaves the index
  // with what it held before, or with the device's default light.
  device->SetLight(slot, light);
  device->LightEnable(slot, TRUE);
}

void StateCache::DrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                             UINT vertexCount, UINT startIndex, UINT primitiveCount) {
  device->DrawIndexedPrimitive(type, baseVertex, minIndex, vertexCount, startIndex,
                               primitiveCount);
}

void StateCache::SetRenderTargetTexture(IDirect3DTexture9* texture) {
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return;
  device->SetRenderTarget(0, surface);
  surface->Release();
}

void StateCache::ResetStages(DWORD first) {
  for (DWORD stage = first; stage < 8; ++stage) {
    device->SetTexture(stage, nullptr);
    device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, stage);
  }
}

bool StateCache::CreateVertexBuffer(VertexBuffer& buffer) {
  IDirect3DVertexBuffer9* made = nullptr;
  if (FAILED(device->CreateVertexBuffer(buffer.stride * buffer.vertexCount, D3DUSAGE_WRITEONLY,
                                        buffer.fvf, D3DPOOL_MANAGED, &made, nullptr)))
    return false;
  buffer.deviceBuffer.reset(made);
  return true;
}

bool StateCache::CreateIndexBuffer(IndexBuffer& buffer) {
  IDirect3DIndexBuffer9* made = nullptr;
  if (FAILED(device->CreateIndexBuffer(buffer.triangleCount * 6, D3DUSAGE_WRITEONLY,
                                       D3DFMT_INDEX16, D3DPOOL_MANAGED, &made, nullptr)))
    return false;
  buffer.deviceBuffer.reset(made);
  return true;
}

IDirect3DTexture9* StateCache::LookupTexture(const std::string& fileName) {
  auto found = textures.find(fileName);
  if (found != textures.end()) return found->second.get();

  const std::string failed = "Texture load failed: " + fileName;
  const MemFileBytes file = ReadMemFileBytes(fileName.c_str());
  if (!file.opened) SceneFatal(failed);

  IDirect3DTexture9* texture = nullptr;
  if (FAILED(D3DXCreateTextureFromFileInMemoryEx(
          device, file.bytes.data.get(), static_cast<UINT>(file.bytes.size), 0, 0, 0, 0,
          D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
          &texture)) ||
      !texture)
    SceneFatal(failed);
  textures.emplace(fileName, ComOwner<IDirect3DTexture9>(texture));
  return texture;
}
