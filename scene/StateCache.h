// A scene graph's gateway to the device: it carries the scene-wide flags the
// pipelines switch, hands out light indices, creates the device buffers and owns the
// texture cache. A destroyed state cache switches off the lights it switched on, so
// the next scene is lit by its own lights only.
//
// The route from scene code to the device, one rule for every function: render
// states, the material, lights and indexed draws go through this cache (today it
// filters nothing, so that is where filtering would go); texture stage and sampler
// states, textures, transforms, the vertex format, streams, render targets, clears
// and draws from memory go to `device` directly.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/d3d9/d3d9.h"
#include "platform/os/ComOwner.h"

class VertexBuffer;
class IndexBuffer;

class StateCache {
 public:
  explicit StateCache(IDirect3DDevice9* device);  // lent
  virtual ~StateCache();
  StateCache(const StateCache&) = delete;
  StateCache& operator=(const StateCache&) = delete;

  void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  void SetMaterial(const D3DMATERIAL9& material);
  // Index -1 gets the next one. A light is set and enabled; null, or a light the device
  // refuses, disables the index.
  void SetLight(const D3DLIGHT9* light, std::int32_t& index);
  void DrawIndexed(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                   UINT startIndex, UINT primitiveCount);
  void SetRenderTargetTexture(IDirect3DTexture9* texture);
  // Stages first..7: no texture, no coordinate transform, coordinate index = stage.
  void ResetStages(DWORD first);
  bool CreateVertexBuffer(VertexBuffer& buffer);
  bool CreateIndexBuffer(IndexBuffer& buffer);
  // The texture decoded from `fileName` (read once through the memory files);
  // ends the show with "Texture load failed: <name>" when it cannot.
  IDirect3DTexture9* LookupTexture(const std::string& fileName);

  std::int32_t shadowsEnabled = 0;
  std::int32_t hasShadowLight = 0;
  std::int32_t hasShadowFlag1 = 0;
  std::int32_t hasShadowFlag2 = 0;
  std::int32_t glowPass = 0;
  float aspect;  // bit pattern 0x3FAAAA8F
  std::int32_t nextLightIndex = 0;
  IDirect3DDevice9* device;  // not owned
  std::map<std::string, ComOwner<IDirect3DTexture9>> textures;

 private:
  // What this cache last set and enabled on each light index it still has on.
  std::map<DWORD, D3DLIGHT9> litLights_;
};
