#include "scene/Texture.h"

#include <cassert>
#include <cstdio>

#include "platform/d3d9/FloatBits.h"
#include "platform/d3dx/d3dx9math.h"
#include "scene/SceneFatal.h"
#include "scene/StateCache.h"

Texture::Texture(std::int32_t id, SceneGraph* graph) : Base(id, graph), maxStages(0) {
  D3DCAPS9 caps{};
  if (SUCCEEDED(cache->device->GetDeviceCaps(&caps))) maxStages = caps.MaxSimultaneousTextures;
}

Texture::~Texture() = default;

IDirect3DTexture9* Texture::fetch(const std::string& fileName) {
  IDirect3DTexture9* found = cache->LookupTexture(fileName);
  D3DSURFACE_DESC desc{};
  found->GetLevelDesc(0, &desc);
  switch (desc.Format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_L8:
      hasAlpha = true;
      break;
    case D3DFMT_X8R8G8B8:
      hasAlpha = false;
      break;
    default:
      std::fprintf(stderr, "Unknown texture format: %s\n", fileName.c_str());
      SceneFatal("Unknown texture format");
  }
  return found;
}

void Texture::load(const std::string& fileName) {
  name = fileName;
  texture = fetch(fileName);
}

void Texture::apply(std::uint32_t& stage, TextureMode mode) {
  if (stage >= maxStages) return;
  IDirect3DDevice9* device = cache->device;
  const DWORD s = stage;
  SetCombiner(s, mode);
  SetSampling(s);
  if (mode != TextureMode::kLightMap) {
    const D3DXMATRIX matrix = CoordinateMatrix();
    device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + s), &matrix);
  }
  device->SetTexture(s, texture);
  ++stage;
}

D3DXMATRIX Texture::CoordinateMatrix() const {
  D3DXMATRIX toCentre, scaling, back, matrix;
  D3DXMatrixIdentity(&toCentre);
  toCentre._31 = -0.5f;
  toCentre._32 = -0.5f;
  D3DXMatrixScaling(&scaling, uScale, vScale, 1.0f);
  D3DXMatrixIdentity(&back);
  back._31 = 0.5f - uOffset;
  back._32 = 0.5f + vOffset;
  D3DXMatrixMultiply(&matrix, &toCentre, &scaling);
  D3DXMatrixMultiply(&matrix, &matrix, &back);
  return matrix;
}

void Texture::SetCombiner(DWORD stage, TextureMode mode) {
  IDirect3DDevice9* device = cache->device;
  switch (mode) {
    case TextureMode::kSphere:
      device->SetTextureStageState(stage, D3DTSS_COLOROP,
                                   cache->glowPass ? D3DTOP_MODULATE : D3DTOP_ADDSMOOTH);
      device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
      device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
      device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_SPHEREMAP);
      device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
      break;
    case TextureMode::kSpecular:
      device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
      device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
      device->SetTextureStageState(stage, D3DTSS_COLORARG0, D3DTA_CURRENT);
      device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_SPECULAR);
      device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_TEXTURE);
      device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
      device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
      break;
    case TextureMode::kAdd:
      device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_ADD);
      device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
      device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
      device->SetTextureStageState(stage, D3DTSS_ALPHAARG0, D3DTA_CURRENT);
      device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
      device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
      break;
    case TextureMode::kLightMap:
      device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
      device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
      device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 1);
      device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
      device->SetSamplerState(stage, D3DSAMP_MAXMIPLEVEL, 0);
      break;
    default:
      assert(!"Texture::apply: unknown mode");
      [[fallthrough]];
    case TextureMode::kDiffuse:
      device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_MODULATE);
      device->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
      device->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
      device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
      device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
      device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
      device->SetSamplerState(stage, D3DSAMP_MAXMIPLEVEL, 0);
      break;
  }
}

void Texture::SetSampling(DWORD stage) {
  IDirect3DDevice9* device = cache->device;
  device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(stage, D3DSAMP_MIPMAPLODBIAS, FloatBits(-1.0f));
}
