#include "platform/d3d9/StateRules.h"

#include "platform/d3d9/DeviceState.h"
#include "platform/d3d9/ErrorReport.h"

namespace {

enum class Rule {
  Unknown,     // not a render state of Direct3D 9
  Any,         // every value is honoured (or has no effect the layer must emulate)
  Bool,
  OffOnly,     // only FALSE / 0 is supported
  ZEnable,
  FillMode,
  ShadeMode,
  Blend,
  BlendOp,
  Cull,
  Compare,
  StencilOp,
  MaterialSource,
  FogMode,
};

Rule RuleFor(D3DRENDERSTATETYPE state) {
  switch (state) {
    case D3DRS_ZENABLE:
      return Rule::ZEnable;
    case D3DRS_FILLMODE:
      return Rule::FillMode;
    case D3DRS_SHADEMODE:
      return Rule::ShadeMode;
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_LASTPIXEL:
    case D3DRS_DITHERENABLE:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_SPECULARENABLE:
    case D3DRS_RANGEFOGENABLE:
    case D3DRS_STENCILENABLE:
    case D3DRS_CLIPPING:
    case D3DRS_LIGHTING:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
    case D3DRS_MULTISAMPLEANTIALIAS:
    case D3DRS_ANTIALIASEDLINEENABLE:
    case D3DRS_SEPARATEALPHABLENDENABLE:
      return Rule::Bool;
    case D3DRS_FOGENABLE:
    case D3DRS_WRAP0:
    case D3DRS_WRAP1:
    case D3DRS_WRAP2:
    case D3DRS_WRAP3:
    case D3DRS_WRAP4:
    case D3DRS_WRAP5:
    case D3DRS_WRAP6:
    case D3DRS_WRAP7:
    case D3DRS_WRAP8:
    case D3DRS_WRAP9:
    case D3DRS_WRAP10:
    case D3DRS_WRAP11:
    case D3DRS_WRAP12:
    case D3DRS_WRAP13:
    case D3DRS_WRAP14:
    case D3DRS_WRAP15:
    case D3DRS_VERTEXBLEND:
    case D3DRS_CLIPPLANEENABLE:
    case D3DRS_INDEXEDVERTEXBLENDENABLE:
    case D3DRS_SCISSORTESTENABLE:
    case D3DRS_SLOPESCALEDEPTHBIAS:
    case D3DRS_DEPTHBIAS:
    case D3DRS_ENABLEADAPTIVETESSELLATION:
    case D3DRS_TWOSIDEDSTENCILMODE:
    case D3DRS_SRGBWRITEENABLE:
      return Rule::OffOnly;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_SRCBLENDALPHA:
    case D3DRS_DESTBLENDALPHA:
      return Rule::Blend;
    case D3DRS_BLENDOP:
    case D3DRS_BLENDOPALPHA:
      return Rule::BlendOp;
    case D3DRS_CULLMODE:
      return Rule::Cull;
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAFUNC:
    case D3DRS_STENCILFUNC:
    case D3DRS_CCW_STENCILFUNC:
      return Rule::Compare;
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
    case D3DRS_CCW_STENCILFAIL:
    case D3DRS_CCW_STENCILZFAIL:
    case D3DRS_CCW_STENCILPASS:
      return Rule::StencilOp;
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
      return Rule::MaterialSource;
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE:
      return Rule::FogMode;
    case D3DRS_ALPHAREF:
    case D3DRS_FOGCOLOR:
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_STENCILREF:
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_AMBIENT:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
    case D3DRS_MULTISAMPLEMASK:
    case D3DRS_PATCHEDGESTYLE:
    case D3DRS_DEBUGMONITORTOKEN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_COLORWRITEENABLE:
    case D3DRS_COLORWRITEENABLE1:
    case D3DRS_COLORWRITEENABLE2:
    case D3DRS_COLORWRITEENABLE3:
    case D3DRS_TWEENFACTOR:
    case D3DRS_POSITIONDEGREE:
    case D3DRS_NORMALDEGREE:
    case D3DRS_MINTESSELLATIONLEVEL:
    case D3DRS_MAXTESSELLATIONLEVEL:
    case D3DRS_ADAPTIVETESS_X:
    case D3DRS_ADAPTIVETESS_Y:
    case D3DRS_ADAPTIVETESS_Z:
    case D3DRS_ADAPTIVETESS_W:
    case D3DRS_BLENDFACTOR:
      return Rule::Any;
    default:
      return Rule::Unknown;
  }
}

bool InRange(DWORD value, DWORD low, DWORD high) { return value >= low && value <= high; }

bool IsTextureOp(DWORD op) { return InRange(op, D3DTOP_DISABLE, D3DTOP_LERP); }

bool IsSupportedOp(DWORD op) {
  return IsTextureOp(op) && op != D3DTOP_PREMODULATE && op != D3DTOP_BUMPENVMAP &&
         op != D3DTOP_BUMPENVMAPLUMINANCE;
}

bool IsSupportedAlphaOp(DWORD op) {
  // These read a colour and an alpha at once: Direct3D defines them for colour only.
  return IsSupportedOp(op) && op != D3DTOP_MODULATEALPHA_ADDCOLOR &&
         op != D3DTOP_MODULATECOLOR_ADDALPHA && op != D3DTOP_MODULATEINVALPHA_ADDCOLOR &&
         op != D3DTOP_MODULATEINVCOLOR_ADDALPHA;
}

bool IsSupportedArg(DWORD arg) {
  if (arg & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) return false;
  return (arg & D3DTA_SELECTMASK) <= D3DTA_TEMP;
}

}  // namespace

HRESULT CheckRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  bool ok = true;
  switch (RuleFor(state)) {
    case Rule::Unknown:
      return ReportInvalidCall("SetRenderState: unknown render state %u", static_cast<UINT>(state));
    case Rule::Any:
    case Rule::Bool:
      break;
    case Rule::OffOnly:
      ok = value == 0;
      break;
    case Rule::ZEnable:
      ok = value == D3DZB_FALSE || value == D3DZB_TRUE;
      break;
    case Rule::FillMode:
      ok = InRange(value, D3DFILL_POINT, D3DFILL_SOLID);
      break;
    case Rule::ShadeMode:
      ok = value == D3DSHADE_GOURAUD;
      break;
    case Rule::Blend:
      ok = InRange(value, D3DBLEND_ZERO, D3DBLEND_INVBLENDFACTOR);
      break;
    case Rule::BlendOp:
      ok = InRange(value, D3DBLENDOP_ADD, D3DBLENDOP_MAX);
      break;
    case Rule::Cull:
      ok = InRange(value, D3DCULL_NONE, D3DCULL_CCW);
      break;
    case Rule::Compare:
      ok = InRange(value, D3DCMP_NEVER, D3DCMP_ALWAYS);
      break;
    case Rule::StencilOp:
      ok = InRange(value, D3DSTENCILOP_KEEP, D3DSTENCILOP_DECR);
      break;
    case Rule::MaterialSource:
      ok = value <= D3DMCS_COLOR2;
      break;
    case Rule::FogMode:
      ok = value <= D3DFOG_LINEAR;
      break;
  }
  if (!ok)
    return ReportInvalidCall("SetRenderState: value %u (0x%x) of render state %u is not supported",
                             value, value, static_cast<UINT>(state));
  return D3D_OK;
}

HRESULT CheckStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= kStageCount)
    return ReportInvalidCall("SetTextureStageState: stage %u out of range", stage);
  bool ok = true;
  switch (type) {
    case D3DTSS_COLOROP:
      ok = IsSupportedOp(value);
      break;
    case D3DTSS_ALPHAOP:
      ok = IsSupportedAlphaOp(value);
      break;
    case D3DTSS_COLORARG0:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
      ok = IsSupportedArg(value);
      break;
    case D3DTSS_RESULTARG:
      ok = value == D3DTA_CURRENT || value == D3DTA_TEMP;
      break;
    case D3DTSS_TEXCOORDINDEX:
      ok = (value & 0xFFFFu) < 8 && (value >> 16) <= (D3DTSS_TCI_SPHEREMAP >> 16);
      break;
    case D3DTSS_TEXTURETRANSFORMFLAGS:
      ok = value <= D3DTTFF_COUNT4;
      break;
    case D3DTSS_BUMPENVMAT00:
    case D3DTSS_BUMPENVMAT01:
    case D3DTSS_BUMPENVMAT10:
    case D3DTSS_BUMPENVMAT11:
    case D3DTSS_BUMPENVLSCALE:
    case D3DTSS_BUMPENVLOFFSET:
    case D3DTSS_CONSTANT:
      break;  // recorded; only bump-mapping and constant arguments read them
    default:
      return ReportInvalidCall("SetTextureStageState: unknown stage state %u",
                               static_cast<UINT>(type));
  }
  if (!ok)
    return ReportInvalidCall(
        "SetTextureStageState: value %u (0x%x) of stage state %u on stage %u is not supported",
        value, value, static_cast<UINT>(type), stage);
  return D3D_OK;
}

HRESULT CheckSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  if (sampler >= kStageCount)
    return ReportInvalidCall("SetSamplerState: sampler %u out of range", sampler);
  bool ok = true;
  switch (type) {
    case D3DSAMP_ADDRESSU:
    case D3DSAMP_ADDRESSV:
    case D3DSAMP_ADDRESSW:
      ok = InRange(value, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER);
      break;
    case D3DSAMP_MAGFILTER:
      ok = value == D3DTEXF_POINT || value == D3DTEXF_LINEAR;
      break;
    case D3DSAMP_MINFILTER:
    case D3DSAMP_MIPFILTER:
      ok = value <= D3DTEXF_LINEAR;
      break;
    case D3DSAMP_MAXANISOTROPY:
      ok = value <= 1;
      break;
    case D3DSAMP_SRGBTEXTURE:
      ok = value == 0;
      break;
    case D3DSAMP_BORDERCOLOR:
    case D3DSAMP_MIPMAPLODBIAS:
    case D3DSAMP_MAXMIPLEVEL:
    case D3DSAMP_ELEMENTINDEX:
    case D3DSAMP_DMAPOFFSET:
      break;
    default:
      return ReportInvalidCall("SetSamplerState: unknown sampler state %u",
                               static_cast<UINT>(type));
  }
  if (!ok)
    return ReportInvalidCall(
        "SetSamplerState: value %u of sampler state %u on sampler %u is not supported", value,
        static_cast<UINT>(type), sampler);
  return D3D_OK;
}
