#include <algorithm>

#include "platform/d3d9/FloatBits.h"
#include "scene/DefaultProcessor.h"
#include "scene/Group.h"
#include "scene/Sprite.h"
#include "scene/StateCache.h"
#include "scene/Texture.h"

void DefaultProcessor::DrawSprites() {
  if (spriteList.empty()) return;
  std::sort(spriteList.begin(), spriteList.end(), Sprite::DrawsBefore);
  IDirect3DDevice9* device = cache->device;

  cache->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  cache->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  cache->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  cache->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  cache->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  cache->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  cache->SetRenderState(D3DRS_LIGHTING, FALSE);

  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

  cache->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  cache->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
  cache->SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(0.0f));
  cache->SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(1024.0f));
  cache->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
  cache->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
  cache->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
  device->SetFVF(D3DFVF_XYZ);

  static const float origin[3] = {0, 0, 0};
  for (Sprite* sprite : spriteList) {
    if (cache->glowPass && sprite->skipInGlowPass) continue;
    // A sprite without a picture has nothing to add; drawing it would add whatever
    // stage 0 last held.
    Texture* texture = sprite->texture.Resolve();
    if (!texture || !texture->texture || !sprite->node) continue;
    cache->SetRenderState(D3DRS_POINTSIZE, FloatBits(sprite->size));
    device->SetTexture(0, texture->texture);
    device->SetTransform(D3DTS_WORLD, &sprite->node->worldMatrix);
    device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, origin, 12);
  }

  cache->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  cache->SetRenderState(D3DRS_LIGHTING, TRUE);
  cache->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
}
