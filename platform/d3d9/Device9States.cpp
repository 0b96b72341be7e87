// Device9: recording and reading back state. Each setter marks what it changes: the
// shader key, a uniform group, a sampler, the framebuffer.
#include <cmath>
#include <cstring>

#include "platform/d3d9/DefaultCaps.h"
#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"
#include "platform/d3d9/IndexBuffer9.h"
#include "platform/d3d9/MatrixMath.h"
#include "platform/d3d9/StateRules.h"
#include "platform/d3d9/Surface9.h"
#include "platform/d3d9/Texture9.h"
#include "platform/d3d9/VertexBuffer9.h"
#include "platform/d3d9/VertexLayout.h"

namespace {

D3DMATRIX* TransformSlot(DeviceState& state, D3DTRANSFORMSTATETYPE type) {
  if (type == D3DTS_VIEW) return &state.view;
  if (type == D3DTS_PROJECTION) return &state.projection;
  if (type == D3DTS_WORLD) return &state.world;
  if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) return &state.texture[type - D3DTS_TEXTURE0];
  return nullptr;
}

// Bit for bit: a value set again as it was leaves every upload as it was.
template <typename T>
bool Same(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

HRESULT Device9::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
  if (!pMatrix) return ReportInvalidCall("SetTransform: null matrix");
  D3DMATRIX* slot = TransformSlot(state_, State);
  if (!slot) return ReportInvalidCall("SetTransform: transform %u is not supported", State);
  if (Same(*slot, *pMatrix)) return D3D_OK;
  *slot = *pMatrix;
  if (State == D3DTS_VIEW) Touch(kLightUniforms);
  Touch(State >= D3DTS_TEXTURE0 && State <= D3DTS_TEXTURE7 ? kTextureMatrixUniforms
                                                           : kTransformUniforms);
  return D3D_OK;
}

HRESULT Device9::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
  if (!pMatrix) return ReportInvalidCall("GetTransform: null matrix");
  D3DMATRIX* slot = TransformSlot(state_, State);
  if (!slot) return ReportInvalidCall("GetTransform: transform %u is not supported", State);
  *pMatrix = *slot;
  return D3D_OK;
}

HRESULT Device9::MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
  if (!pMatrix) return ReportInvalidCall("MultiplyTransform: null matrix");
  D3DMATRIX* slot = TransformSlot(state_, State);
  if (!slot) return ReportInvalidCall("MultiplyTransform: transform %u is not supported", State);
  D3DMATRIX product = Multiply(*pMatrix, *slot);
  return SetTransform(State, &product);
}

HRESULT Device9::SetViewport(const D3DVIEWPORT9* pViewport) {
  if (!pViewport) return ReportInvalidCall("SetViewport: null viewport");
  const D3DVIEWPORT9& v = *pViewport;
  Surface9* target = renderTarget_.get();
  if (v.Width == 0 || v.Height == 0 || v.X >= target->width() || v.Y >= target->height() ||
      v.Width > target->width() - v.X || v.Height > target->height() - v.Y)
    return ReportInvalidCall("SetViewport: %u,%u %ux%u does not fit the %ux%u render target", v.X,
                             v.Y, v.Width, v.Height, target->width(), target->height());
  if (!(v.MinZ >= 0.0f && v.MinZ <= 1.0f && v.MaxZ >= 0.0f && v.MaxZ <= 1.0f))
    return ReportInvalidCall("SetViewport: depth range outside 0..1");
  if (Same(state_.viewport, v)) return D3D_OK;
  state_.viewport = v;
  Touch(kTransformUniforms);
  return D3D_OK;
}

HRESULT Device9::GetViewport(D3DVIEWPORT9* pViewport) {
  if (!pViewport) return ReportInvalidCall("GetViewport: null viewport");
  *pViewport = state_.viewport;
  return D3D_OK;
}

HRESULT Device9::SetMaterial(const D3DMATERIAL9* pMaterial) {
  if (!pMaterial) return ReportInvalidCall("SetMaterial: null material");
  if (Same(state_.material, *pMaterial)) return D3D_OK;
  state_.material = *pMaterial;
  Touch(kMaterialUniforms);
  return D3D_OK;
}

HRESULT Device9::GetMaterial(D3DMATERIAL9* pMaterial) {
  if (!pMaterial) return ReportInvalidCall("GetMaterial: null material");
  *pMaterial = state_.material;
  return D3D_OK;
}

HRESULT Device9::SetLight(DWORD Index, const D3DLIGHT9* pLight) {
  if (!pLight) return ReportInvalidCall("SetLight: null light");
  const D3DLIGHT9& l = *pLight;
  if (l.Type != D3DLIGHT_POINT && l.Type != D3DLIGHT_SPOT && l.Type != D3DLIGHT_DIRECTIONAL)
    return ReportInvalidCall("SetLight: light type %u", l.Type);
  if (l.Type != D3DLIGHT_DIRECTIONAL && !(l.Range >= 0.0f))
    return ReportInvalidCall("SetLight: negative range");
  if (l.Type == D3DLIGHT_SPOT && !(l.Theta >= 0.0f && l.Phi >= l.Theta && l.Phi <= 3.1415927f))
    return ReportInvalidCall("SetLight: spot cone needs 0 <= Theta <= Phi <= pi");
  if (l.Type != D3DLIGHT_DIRECTIONAL &&
      !(l.Attenuation0 >= 0.0f && l.Attenuation1 >= 0.0f && l.Attenuation2 >= 0.0f))
    return ReportInvalidCall("SetLight: negative attenuation");
  auto found = state_.lights.find(Index);
  if (found != state_.lights.end() && Same(found->second.light, l)) return D3D_OK;
  bool typeChanged = found == state_.lights.end() || found->second.light.Type != l.Type;
  LightSlot& slot = state_.lights[Index];
  slot.light = l;
  if (slot.enabled && typeChanged) keyDirty_ = true;
  Touch(kLightUniforms);
  return D3D_OK;
}

HRESULT Device9::GetLight(DWORD Index, D3DLIGHT9* pLight) {
  if (!pLight) return ReportInvalidCall("GetLight: null light");
  auto found = state_.lights.find(Index);
  if (found == state_.lights.end()) return D3DERR_INVALIDCALL;
  *pLight = found->second.light;
  return D3D_OK;
}

HRESULT Device9::LightEnable(DWORD Index, WINBOOL Enable) {
  auto found = state_.lights.find(Index);
  if (found == state_.lights.end()) {
    if (!Enable) return D3D_OK;
    found = state_.lights.emplace(Index, LightSlot{DefaultLight(), false}).first;
  }
  bool enable = Enable != 0;
  if (found->second.enabled == enable) return D3D_OK;
  if (enable) {
    std::array<DWORD, 8> indices{};
    if (ActiveLightIndices(state_, &indices) >= static_cast<int>(kMaxActiveLights))
      return ReportInvalidCall("LightEnable: more than %u lights enabled", kMaxActiveLights);
  }
  found->second.enabled = enable;
  keyDirty_ = true;
  Touch(kLightUniforms);
  return D3D_OK;
}

HRESULT Device9::GetLightEnable(DWORD Index, WINBOOL* pEnable) {
  if (!pEnable) return ReportInvalidCall("GetLightEnable: null pointer");
  auto found = state_.lights.find(Index);
  if (found == state_.lights.end()) return D3DERR_INVALIDCALL;
  // Direct3D reports an enabled light as 128, not 1.
  *pEnable = found->second.enabled ? 128 : 0;
  return D3D_OK;
}

HRESULT Device9::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
  if (FAILED(CheckRenderState(State, Value))) return D3DERR_INVALIDCALL;
  if (state_.render[State] == Value) return D3D_OK;
  state_.render[State] = Value;
  OnRenderStateChanged(State);
  return D3D_OK;
}

void Device9::OnRenderStateChanged(D3DRENDERSTATETYPE state) {
  switch (state) {
    case D3DRS_LIGHTING:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_SPECULARENABLE:
    case D3DRS_COLORVERTEX:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAFUNC:
      keyDirty_ = true;
      break;
    case D3DRS_AMBIENT:
      Touch(kMaterialUniforms);
      break;
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
      Touch(kPointUniforms);
      break;
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_ALPHAREF:
      Touch(kFragmentUniforms);
      break;
    default:
      break;  // raster states are compared at each draw
  }
}

HRESULT Device9::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
  if (!pValue) return ReportInvalidCall("GetRenderState: null pointer");
  if (static_cast<DWORD>(State) >= kRenderStateCount)
    return ReportInvalidCall("GetRenderState: unknown render state %u", static_cast<UINT>(State));
  *pValue = state_.render[State];
  return D3D_OK;
}

HRESULT Device9::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) {
  if (!ppTexture) return ReportInvalidCall("GetTexture: null pointer");
  *ppTexture = nullptr;
  if (Stage >= kStageCount) return ReportInvalidCall("GetTexture: stage %u", Stage);
  if (Texture9* texture = textures_[Stage].get()) {
    texture->AddRef();
    *ppTexture = texture;
  }
  return D3D_OK;
}

HRESULT Device9::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) {
  if (Stage >= kStageCount) return ReportInvalidCall("SetTexture: stage %u is not supported", Stage);
  auto* texture = static_cast<Texture9*>(static_cast<IDirect3DTexture9*>(pTexture));
  if (texture && texture->pool() == D3DPOOL_SYSTEMMEM)
    return ReportInvalidCall("SetTexture: system-memory textures cannot be drawn from");
  if ((textures_[Stage].get() != nullptr) != (texture != nullptr)) keyDirty_ = true;
  textures_[Stage].reset(texture);
  return D3D_OK;
}

HRESULT Device9::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
  if (!pValue) return ReportInvalidCall("GetTextureStageState: null pointer");
  if (Stage >= kStageCount || static_cast<DWORD>(Type) >= kStageStateCount)
    return ReportInvalidCall("GetTextureStageState: stage %u state %u", Stage,
                             static_cast<UINT>(Type));
  *pValue = state_.stage[Stage][Type];
  return D3D_OK;
}

HRESULT Device9::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
  if (FAILED(CheckStageState(Stage, Type, Value))) return D3DERR_INVALIDCALL;
  if (state_.stage[Stage][Type] == Value) return D3D_OK;
  state_.stage[Stage][Type] = Value;
  keyDirty_ = true;
  return D3D_OK;
}

HRESULT Device9::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) {
  if (!pValue) return ReportInvalidCall("GetSamplerState: null pointer");
  if (Sampler >= kStageCount || static_cast<DWORD>(Type) >= kSamplerStateCount)
    return ReportInvalidCall("GetSamplerState: sampler %u state %u", Sampler,
                             static_cast<UINT>(Type));
  *pValue = state_.sampler[Sampler][Type];
  return D3D_OK;
}

HRESULT Device9::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) {
  if (FAILED(CheckSamplerState(Sampler, Type, Value))) return D3DERR_INVALIDCALL;
  if (state_.sampler[Sampler][Type] == Value) return D3D_OK;
  state_.sampler[Sampler][Type] = Value;
  samplerDirty_[Sampler] = true;
  // Where the lookups add the bias, it travels with the fragment constants.
  if (Type == D3DSAMP_MIPMAPLODBIAS) Touch(kFragmentUniforms);
  return D3D_OK;
}

HRESULT Device9::SetFVF(DWORD FVF) {
  VertexLayout layout;
  if (FVF != 0 && !DecodeFvf(FVF, &layout))
    return ReportInvalidCall("SetFVF: vertex format 0x%x is not supported", FVF);
  state_.fvf = FVF;
  return D3D_OK;
}

HRESULT Device9::GetFVF(DWORD* pFVF) {
  if (!pFVF) return ReportInvalidCall("GetFVF: null pointer");
  *pFVF = state_.fvf;
  return D3D_OK;
}

HRESULT Device9::SetVertexShader(IDirect3DVertexShader9* pShader) {
  if (pShader) return ReportInvalidCall("SetVertexShader: only the fixed-function pipeline exists");
  return D3D_OK;
}

HRESULT Device9::GetVertexShader(IDirect3DVertexShader9** ppShader) {
  if (!ppShader) return ReportInvalidCall("GetVertexShader: null pointer");
  *ppShader = nullptr;
  return D3D_OK;
}

HRESULT Device9::SetPixelShader(IDirect3DPixelShader9* pShader) {
  if (pShader) return ReportInvalidCall("SetPixelShader: only the fixed-function pipeline exists");
  return D3D_OK;
}

HRESULT Device9::GetPixelShader(IDirect3DPixelShader9** ppShader) {
  if (!ppShader) return ReportInvalidCall("GetPixelShader: null pointer");
  *ppShader = nullptr;
  return D3D_OK;
}

HRESULT Device9::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData,
                                 UINT OffsetInBytes, UINT Stride) {
  if (StreamNumber != 0) return ReportInvalidCall("SetStreamSource: only stream 0 exists");
  auto* buffer = static_cast<VertexBuffer9*>(pStreamData);
  if (buffer && (OffsetInBytes > buffer->size() || Stride == 0 || Stride > 255))
    return ReportInvalidCall("SetStreamSource: offset %u or stride %u not usable", OffsetInBytes,
                             Stride);
  stream_.reset(buffer);
  streamOffset_ = buffer ? OffsetInBytes : 0;
  streamStride_ = buffer ? Stride : 0;
  return D3D_OK;
}

HRESULT Device9::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData,
                                 UINT* pOffsetInBytes, UINT* pStride) {
  if (!ppStreamData || !pOffsetInBytes || !pStride)
    return ReportInvalidCall("GetStreamSource: null pointer");
  if (StreamNumber != 0) return ReportInvalidCall("GetStreamSource: only stream 0 exists");
  *ppStreamData = stream_.get();
  if (stream_) stream_->AddRef();
  *pOffsetInBytes = streamOffset_;
  *pStride = streamStride_;
  return D3D_OK;
}

HRESULT Device9::SetIndices(IDirect3DIndexBuffer9* pIndexData) {
  indices_.reset(static_cast<IndexBuffer9*>(pIndexData));
  return D3D_OK;
}

HRESULT Device9::GetIndices(IDirect3DIndexBuffer9** ppIndexData) {
  if (!ppIndexData) return ReportInvalidCall("GetIndices: null pointer");
  *ppIndexData = indices_.get();
  if (indices_) indices_->AddRef();
  return D3D_OK;
}
