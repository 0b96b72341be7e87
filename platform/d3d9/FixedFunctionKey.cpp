#include "platform/d3d9/FixedFunctionKey.h"

#include <type_traits>

static_assert(std::is_trivially_copyable_v<FixedFunctionKey>);
static_assert(sizeof(StageKey) == 13, "StageKey must have no padding");

namespace {

// Which of ARG0, ARG1, ARG2 an operation reads.
std::array<bool, 3> ArgsRead(DWORD op) {
  switch (op) {
    case D3DTOP_SELECTARG1:
      return {false, true, false};
    case D3DTOP_SELECTARG2:
      return {false, false, true};
    case D3DTOP_MULTIPLYADD:
    case D3DTOP_LERP:
      return {true, true, true};
    default:
      return {false, true, true};
  }
}

bool ReadsTexture(DWORD op, const DWORD args[3]) {
  if (op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM) return true;
  std::array<bool, 3> read = ArgsRead(op);
  for (int i = 0; i < 3; ++i)
    if (read[i] && (args[i] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) return true;
  return false;
}

// An operation that reads a stage with no texture passes CURRENT through instead.
void FillOp(DWORD op, const DWORD args[3], bool bound, std::uint8_t* keyOp,
            std::uint8_t keyArgs[3]) {
  if (!bound && ReadsTexture(op, args)) {
    *keyOp = D3DTOP_SELECTARG1;
    keyArgs[0] = 0;
    keyArgs[1] = D3DTA_CURRENT;
    keyArgs[2] = 0;
    return;
  }
  *keyOp = static_cast<std::uint8_t>(op);
  std::array<bool, 3> read = ArgsRead(op);
  for (int i = 0; i < 3; ++i) keyArgs[i] = read[i] ? static_cast<std::uint8_t>(args[i]) : 0;
}

std::uint8_t EffectiveSource(DWORD source, bool colorVertex, bool hasDiffuse, bool hasSpecular) {
  if (!colorVertex) return D3DMCS_MATERIAL;
  if (source == D3DMCS_COLOR1 && !hasDiffuse) return D3DMCS_MATERIAL;
  if (source == D3DMCS_COLOR2 && !hasSpecular) return D3DMCS_MATERIAL;
  return static_cast<std::uint8_t>(source);
}

}  // namespace

std::size_t FixedFunctionKeyHash::operator()(const FixedFunctionKey& key) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&key);
  std::uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a, also where size_t is 32 bits
  for (std::size_t i = 0; i < sizeof key; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return static_cast<std::size_t>(hash);
}

int ActiveLightIndices(const DeviceState& state, std::array<DWORD, 8>* indices) {
  int count = 0;
  for (const auto& [index, slot] : state.lights) {
    if (!slot.enabled) continue;
    if (count == 8) break;
    (*indices)[count++] = index;
  }
  return count;
}

FixedFunctionKey BuildFixedFunctionKey(const DeviceState& state, const VertexLayout& layout,
                                       const std::array<bool, kStageCount>& textureBound,
                                       bool points) {
  FixedFunctionKey key;
  std::memset(&key, 0, sizeof key);
  const auto& rs = state.render;

  key.rhw = layout.rhw;
  key.hasNormal = layout.normal >= 0;
  key.hasDiffuse = layout.diffuse >= 0;
  key.hasSpecular = layout.specular >= 0;
  key.hasPointSize = points && layout.pointSize >= 0;
  key.texSetCount = static_cast<std::uint8_t>(layout.texSetCount);
  key.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;

  if (rs[D3DRS_LIGHTING] && !layout.rhw) {
    key.lighting = 1;
    key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
    bool colorVertex = rs[D3DRS_COLORVERTEX] != 0;
    key.diffuseSource = EffectiveSource(rs[D3DRS_DIFFUSEMATERIALSOURCE], colorVertex,
                                        key.hasDiffuse, key.hasSpecular);
    key.specularSource = EffectiveSource(rs[D3DRS_SPECULARMATERIALSOURCE], colorVertex,
                                         key.hasDiffuse, key.hasSpecular);
    key.ambientSource = EffectiveSource(rs[D3DRS_AMBIENTMATERIALSOURCE], colorVertex,
                                        key.hasDiffuse, key.hasSpecular);
    key.emissiveSource = EffectiveSource(rs[D3DRS_EMISSIVEMATERIALSOURCE], colorVertex,
                                         key.hasDiffuse, key.hasSpecular);
    std::array<DWORD, 8> indices{};
    int count = ActiveLightIndices(state, &indices);
    key.lightCount = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i)
      key.lightType[i] = static_cast<std::uint8_t>(state.lights.at(indices[i]).light.Type);
  }

  if (points) {
    key.points = 1;
    key.pointScale = rs[D3DRS_POINTSCALEENABLE] != 0 && !layout.rhw;
    key.pointSprite = rs[D3DRS_POINTSPRITEENABLE] != 0;
  }
  if (rs[D3DRS_ALPHATESTENABLE]) key.alphaFunc = static_cast<std::uint8_t>(rs[D3DRS_ALPHAFUNC]);

  for (DWORD s = 0; s < kStageCount; ++s) {
    const auto& ts = state.stage[s];
    if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
    StageKey& stage = key.stages[s];
    const DWORD colorArgs[3] = {ts[D3DTSS_COLORARG0], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2]};
    const DWORD alphaArgs[3] = {ts[D3DTSS_ALPHAARG0], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2]};
    FillOp(ts[D3DTSS_COLOROP], colorArgs, textureBound[s], &stage.colorOp, stage.colorArg);
    if (ts[D3DTSS_ALPHAOP] == D3DTOP_DISABLE)
      stage.alphaOp = D3DTOP_DISABLE;
    else
      FillOp(ts[D3DTSS_ALPHAOP], alphaArgs, textureBound[s], &stage.alphaOp, stage.alphaArg);
    stage.resultTemp = ts[D3DTSS_RESULTARG] == D3DTA_TEMP;
    const DWORD keptColor[3] = {stage.colorArg[0], stage.colorArg[1], stage.colorArg[2]};
    const DWORD keptAlpha[3] = {stage.alphaArg[0], stage.alphaArg[1], stage.alphaArg[2]};
    stage.sampled = textureBound[s] && (ReadsTexture(stage.colorOp, keptColor) ||
                                        (stage.alphaOp != D3DTOP_DISABLE &&
                                         ReadsTexture(stage.alphaOp, keptAlpha)));
    if (stage.sampled && !(points && key.pointSprite)) {
      stage.coordSet = static_cast<std::uint8_t>(ts[D3DTSS_TEXCOORDINDEX] & 0xFFFFu);
      if (!layout.rhw) {
        stage.coordSource = static_cast<std::uint8_t>(ts[D3DTSS_TEXCOORDINDEX] >> 16);
        stage.transform = static_cast<std::uint8_t>(ts[D3DTSS_TEXTURETRANSFORMFLAGS] & 7u);
      }
      if (stage.coordSource == 0 && stage.coordSet < key.texSetCount)
        key.texSetSize[stage.coordSet] =
            static_cast<std::uint8_t>(layout.texSize[stage.coordSet]);
    }
    key.stageCount = static_cast<std::uint8_t>(s + 1);
  }
  return key;
}
