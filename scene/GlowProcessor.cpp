#include "scene/GlowProcessor.h"

#include <cstring>

#include "platform/d3dx/d3dx9math.h"
#include "scene/Camera.h"
#include "scene/GlowTargets.h"
#include "scene/SceneGraph.h"
#include "scene/StateCache.h"

namespace {

constexpr DWORD kQuadFvf = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr UINT kQuadStride = 20;
constexpr DWORD kTapWeight = 0x44444444;
constexpr float kSpreadStep = 0.005f;
constexpr DWORD kStages = 8;

// The full-screen quad as a triangle strip: x, y, z, u, v.
constexpr float kQuad[4][5] = {
    {-1, -1, 1, 0, 1},
    {-1, 1, 1, 0, 0},
    {1, -1, 1, 1, 1},
    {1, 1, 1, 1, 0},
};
static_assert(sizeof kQuad == 4 * kQuadStride);

D3DXMATRIX IdentityMatrix() { return D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1); }

}  // namespace

GlowProcessor::GlowProcessor(std::int32_t id, SceneGraph* graph) : DefaultProcessor(id, graph) {
  IDirect3DDevice9* device = cache->device;
  D3DCAPS9 caps{};
  if (SUCCEEDED(device->GetDeviceCaps(&caps))) fewTextureUnits = caps.MaxSimultaneousTextures < 4;
  IDirect3DVertexBuffer9* buffer = nullptr;
  if (FAILED(device->CreateVertexBuffer(sizeof kQuad, D3DUSAGE_WRITEONLY, kQuadFvf,
                                        D3DPOOL_DEFAULT, &buffer, nullptr)))
    return;
  quadBuffer.reset(buffer);
  void* data = nullptr;
  // A buffer that cannot be filled would draw garbage: without it there is no glow.
  if (FAILED(buffer->Lock(0, 0, &data, 0)) || !data) {
    quadBuffer.reset();
    return;
  }
  std::memcpy(data, kQuad, sizeof kQuad);
  buffer->Unlock();
}

GlowProcessor::~GlowProcessor() = default;

void GlowProcessor::SetBlurTaps(float spread, float targetSize, bool vertical, bool statesDone) {
  IDirect3DDevice9* device = cache->device;
  const float h = 0.5f / targetSize;
  const float e = h + spread;
  const float d = h - spread;
  cache->SetRenderState(D3DRS_TEXTUREFACTOR, kTapWeight);
  const DWORD taps = fewTextureUnits ? 2 : 4;
  if (!statesDone) {
    for (DWORD s = 0; s < taps; ++s) {
      if (s == 0) {
        device->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetTextureStageState(s, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
      } else {
        device->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
        device->SetTextureStageState(s, D3DTSS_ALPHAOP, D3DTOP_MULTIPLYADD);
        device->SetTextureStageState(s, D3DTSS_COLORARG0, D3DTA_CURRENT);
        device->SetTextureStageState(s, D3DTSS_ALPHAARG0, D3DTA_CURRENT);
      }
      device->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      device->SetTextureStageState(s, D3DTSS_COLORARG2, D3DTA_TFACTOR);
      device->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
      device->SetTextureStageState(s, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
      device->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
      device->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, 0);
      device->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
      device->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
      device->SetSamplerState(s, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
      device->SetSamplerState(s, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
    device->SetTextureStageState(taps, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(taps, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  }
  float offsets[4][2];
  if (!fewTextureUnits) {
    const float four[4][2] = {{e, h}, {d, h}, {h, e}, {h, d}};
    std::memcpy(offsets, four, sizeof four);
  } else if (!vertical) {
    const float two[2][2] = {{e, h}, {d, h}};
    std::memcpy(offsets, two, sizeof two);
  } else {
    const float two[2][2] = {{h, e}, {h, d}};
    std::memcpy(offsets, two, sizeof two);
  }
  for (DWORD s = 0; s < taps; ++s) {
    D3DXMATRIX shift = IdentityMatrix();
    shift._31 = offsets[s][0];
    shift._32 = offsets[s][1];
    device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + s), &shift);
  }
}

void GlowProcessor::Draw() {
  IDirect3DDevice9* device = cache->device;
  // Without every target there is nothing sound to render into: the frame keeps
  // the default pipeline's image and state.
  if (!GlowTargetsComplete() || !quadBuffer) return;

  IDirect3DSurface9* surface = nullptr;
  if (FAILED(device->GetRenderTarget(0, &surface)) || !surface) return;
  ComOwner<IDirect3DSurface9> frameTarget(surface);
  surface = nullptr;
  if (FAILED(device->GetDepthStencilSurface(&surface))) surface = nullptr;
  ComOwner<IDirect3DSurface9> frameDepth(surface);

  DrawGlowPass();
  SetQuadStates();
  BlurDownTheChain();
  device->SetRenderTarget(0, frameTarget.get());
  device->SetDepthStencilSurface(frameDepth.get());
  frameTarget.reset();
  frameDepth.reset();
  AddLevelsToFrame();

  cache->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  cache->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  cache->SetRenderState(D3DRS_LIGHTING, TRUE);
  if (graph->activeCamera) graph->activeCamera->Update(false);
}

void GlowProcessor::DrawGlowPass() {
  IDirect3DDevice9* device = cache->device;
  // The previous composite left glow levels on the stages; none may be read while
  // the chain renders into it.
  for (DWORD s = 0; s < kStages; ++s) device->SetTexture(s, nullptr);

  cache->SetRenderTargetTexture(GlowTarget(0));
  device->SetDepthStencilSurface(GlowDepth());
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000,
                1.0f, 0x7F);
  cache->glowPass = 1;
  DefaultProcessor::Draw();
  cache->glowPass = 0;
}

void GlowProcessor::SetQuadStates() {
  IDirect3DDevice9* device = cache->device;
  D3DXMATRIX ortho;
  D3DXMatrixOrthoLH(&ortho, 2, 2, 0, 1);
  const D3DXMATRIX identity = IdentityMatrix();
  device->SetTransform(D3DTS_PROJECTION, &ortho);
  device->SetTransform(D3DTS_WORLD, &identity);
  device->SetTransform(D3DTS_VIEW, &identity);
  device->SetFVF(kQuadFvf);
  device->SetVertexShader(nullptr);
  device->SetStreamSource(0, quadBuffer.get(), 0, kQuadStride);
  cache->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  cache->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  cache->SetRenderState(D3DRS_LIGHTING, FALSE);
  cache->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void GlowProcessor::BlurDownTheChain() {
  IDirect3DDevice9* device = cache->device;
  const DWORD taps = fewTextureUnits ? 2 : 4;
  // Each level only ever reads the level before it, on the tap stages; every
  // other stage was emptied before the glow pass or holds a scene picture from it.
  bool statesDone = false;
  for (int i = 1; i < kGlowLevels; ++i) {
    const float spread = static_cast<float>(i) * kSpreadStep;
    const float size = kGlowLevelSizes[i];
    IDirect3DTexture9* source = GlowTarget(i - 1);
    cache->SetRenderTargetTexture(GlowTarget(i));
    if (fewTextureUnits) {
      device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0x7F);
      cache->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
      SetBlurTaps(spread, size, false, statesDone);
      for (DWORD s = 0; s < taps; ++s) device->SetTexture(s, source);
      device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
      cache->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
      cache->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
      cache->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
      cache->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
      SetBlurTaps(spread, size, true, true);
      for (DWORD s = 0; s < taps; ++s) device->SetTexture(s, source);
      device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    } else {
      SetBlurTaps(spread, size, false, statesDone);
      for (DWORD s = 0; s < taps; ++s) device->SetTexture(s, source);
      device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }
    statesDone = true;
  }
}

void GlowProcessor::AddLevelsToFrame() {
  IDirect3DDevice9* device = cache->device;
  const DWORD taps = fewTextureUnits ? 2 : 4;
  for (DWORD s = 0; s < taps; ++s) {
    device->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_CURRENT);
    device->SetTextureStageState(s, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device->SetTextureStageState(s, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    device->SetTextureStageState(s, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
    const DWORD op = s == 0 ? D3DTOP_SELECTARG2 : D3DTOP_ADD;
    device->SetTextureStageState(s, D3DTSS_COLOROP, op);
    device->SetTextureStageState(s, D3DTSS_ALPHAOP, op);
    device->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, 0);
    device->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetSamplerState(s, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  }
  device->SetTextureStageState(taps, D3DTSS_COLOROP, D3DTOP_DISABLE);
  device->SetTextureStageState(taps, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  cache->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  cache->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  cache->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  cache->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  for (int first = 0; first < kGlowLevels; first += static_cast<int>(taps)) {
    for (DWORD s = 0; s < taps; ++s) device->SetTexture(s, GlowTarget(first + static_cast<int>(s)));
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  }
}
