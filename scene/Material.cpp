#include "scene/Material.h"

#include <algorithm>
#include <cstring>

#include "platform/d3dx/d3dx9math.h"
#include "scene/SceneFatal.h"
#include "scene/StateCache.h"

namespace {

bool HasAlphaLayer(ObjectRef<Texture>& layer) {
  Texture* texture = layer.Resolve();
  return texture && texture->HasAlpha();
}

}  // namespace

Material::Material(std::int32_t id, SceneGraph* graph)
    : Base(id, graph),
      diffuseMap(graph),
      sphereMap(graph),
      specularMap(graph),
      addMap(graph),
      lightMap(graph) {}

Material::~Material() = default;

float* Material::GetControlField(const char* name) {
  if (std::strcmp(name, "OPACITY") == 0) return &opacity;
  SceneFatal("Material: Invalid control field!");
}

void Material::Link() {
  diffuseColor.a = opacity;
  specularColor.a = opacity;
  ambientColor.a = opacity;
  deviceMaterial.Diffuse = diffuseColor;
  deviceMaterial.Ambient = ambientColor;
  deviceMaterial.Specular = {specularColor.r * specularLevel, specularColor.g * specularLevel,
                             specularColor.b * specularLevel, specularColor.a * specularLevel};
  deviceMaterial.Power = power * 32.0f;
  deviceMaterial.Emissive = {selfIllum, selfIllum, selfIllum, 1.0f};
  if (blendMode == BlendMode::kSubtractive && HasAlphaLayer(diffuseMap))
    blendMode = BlendMode::kAlphaBlended;
}

// Single-precision 0.99 here; Apply compares in double.
bool Material::IsTransparent(float visibility) {
  if (visibility <= 0.99f) return true;
  if (specularMap.Resolve()) return false;
  return opacity <= 0.99f || HasAlphaLayer(diffuseMap);
}

void Material::Apply(float visibility) {
  StateCache& state = *cache;
  IDirect3DDevice9* device = state.device;
  const float v = static_cast<float>(std::clamp((visibility - 0.5) * 2.0, 0.0, 1.0));
  const bool faint = opacity <= 0.99;  // double precision, unlike IsTransparent

  deviceMaterial.Diffuse = diffuseColor;
  deviceMaterial.Diffuse.a *= v;
  if (faint) deviceMaterial.Diffuse.a *= opacity;

  std::uint32_t stage = 0;
  if (state.glowPass) {
    const D3DXCOLOR glow(selfIllum, selfIllum, selfIllum, deviceMaterial.Diffuse.a);
    state.SetRenderState(D3DRS_TEXTUREFACTOR, static_cast<DWORD>(glow));
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    device->SetTexture(0, nullptr);
    state.SetRenderState(D3DRS_LIGHTING, FALSE);
    stage = 1;
  } else if (Texture* light = lightMap.Resolve()) {
    light->apply(stage, TextureMode::kLightMap);
    state.SetRenderState(D3DRS_LIGHTING, specularMap.Resolve() ? TRUE : FALSE);
  } else {
    state.SetRenderState(D3DRS_LIGHTING, TRUE);
  }

  if (Texture* diffuse = diffuseMap.Resolve()) {
    diffuse->apply(stage, TextureMode::kDiffuse);
    deviceMaterial.Diffuse = {1.0f, 1.0f, 1.0f, v * opacity};
  }
  if (Texture* specular = specularMap.Resolve()) {
    state.SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    specular->apply(stage, TextureMode::kSpecular);
  } else {
    state.SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  }
  if (Texture* sphere = sphereMap.Resolve()) sphere->apply(stage, TextureMode::kSphere);
  if (Texture* add = addMap.Resolve()) add->apply(stage, TextureMode::kAdd);
  // Once more, as designed: a faint material fades with the square of its opacity.
  if (faint) deviceMaterial.Diffuse.a *= opacity;

  state.ResetStages(stage);
  state.SetMaterial(deviceMaterial);

  const bool transparent = IsTransparent(visibility);
  state.SetRenderState(D3DRS_ALPHABLENDENABLE, transparent ? TRUE : FALSE);
  state.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  state.SetRenderState(D3DRS_ALPHAREF, 1);
  if (!transparent) {
    state.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    state.SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    return;
  }
  state.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  const BlendMode mode = v < 0.999 ? BlendMode::kAdditive : blendMode;
  switch (mode) {
    case BlendMode::kSubtractive:
      state.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_SUBTRACT);
      state.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      state.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTALPHA);
      state.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
      break;
    case BlendMode::kAdditive:
      state.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
      state.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      state.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTALPHA);
      state.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
      break;
    case BlendMode::kAlphaBlended:
      state.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
      state.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      state.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
      state.SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
      break;
    default:  // from a damaged or foreign scene file: not for an assertion
      break;
  }
}
