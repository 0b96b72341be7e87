// State: every value starts at Direct3D 9's documented default and reads back as set;
// values outside the supported subset are refused and leave the state as it was; the
// change cache draws exactly what a full re-application draws, and reuses programs.
#include <gtest/gtest.h>

#include <cstring>

#include "d3d9/D3D9TestDevice.h"
#include "platform/d3d9/Device9.h"
#include "platform/d3d9/d3d9host.h"
#include "support/HResult.h"

TEST(State, RenderStateDefaults) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } defaults[] = {
      {D3DRS_ZENABLE, D3DZB_TRUE},  // with an automatic depth surface
      {D3DRS_FILLMODE, D3DFILL_SOLID},
      {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
      {D3DRS_ZWRITEENABLE, TRUE},
      {D3DRS_ALPHATESTENABLE, FALSE},
      {D3DRS_LASTPIXEL, TRUE},
      {D3DRS_SRCBLEND, D3DBLEND_ONE},
      {D3DRS_DESTBLEND, D3DBLEND_ZERO},
      {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
      {D3DRS_ALPHAREF, 0},
      {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
      {D3DRS_DITHERENABLE, FALSE},
      {D3DRS_ALPHABLENDENABLE, FALSE},
      {D3DRS_FOGENABLE, FALSE},
      {D3DRS_SPECULARENABLE, FALSE},
      {D3DRS_STENCILENABLE, FALSE},
      {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
      {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
      {D3DRS_STENCILMASK, 0xFFFFFFFF},
      {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
      {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
      {D3DRS_CLIPPING, TRUE},
      {D3DRS_LIGHTING, TRUE},
      {D3DRS_AMBIENT, 0},
      {D3DRS_COLORVERTEX, TRUE},
      {D3DRS_LOCALVIEWER, TRUE},
      {D3DRS_NORMALIZENORMALS, FALSE},
      {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
      {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
      {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
      {D3DRS_POINTSIZE, FloatDword(1.0f)},
      {D3DRS_POINTSIZE_MIN, FloatDword(1.0f)},
      {D3DRS_POINTSPRITEENABLE, FALSE},
      {D3DRS_POINTSCALEENABLE, FALSE},
      {D3DRS_POINTSCALE_A, FloatDword(1.0f)},
      {D3DRS_POINTSCALE_B, FloatDword(0.0f)},
      {D3DRS_POINTSCALE_C, FloatDword(0.0f)},
      {D3DRS_POINTSIZE_MAX, FloatDword(1024.0f)},  // the caps' MaxPointSize
      {D3DRS_COLORWRITEENABLE, 0xF},
      {D3DRS_BLENDOP, D3DBLENDOP_ADD},
      {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
  };
  for (const auto& d : defaults) {
    DWORD value = 0xDEADBEEF;
    ASSERT_HR(device->GetRenderState(d.state, &value));
    EXPECT_EQ(value, d.value) << "render state " << d.state;
  }
  D3DCAPS9 caps{};
  device->GetDeviceCaps(&caps);
  EXPECT_EQ(caps.MaxPointSize, 1024.0f);
}

TEST(State, StageSamplerTransformAndMaterialDefaults) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  for (DWORD stage = 0; stage < 8; ++stage) {
    SCOPED_TRACE(testing::Message() << "stage " << stage);
    auto tss = [&](D3DTEXTURESTAGESTATETYPE type) {
      DWORD value = 0xDEADBEEF;
      device->GetTextureStageState(stage, type, &value);
      return value;
    };
    EXPECT_EQ(tss(D3DTSS_COLOROP), DWORD(stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE));
    EXPECT_EQ(tss(D3DTSS_ALPHAOP), DWORD(stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE));
    EXPECT_EQ(tss(D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(tss(D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(tss(D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(tss(D3DTSS_ALPHAARG2), D3DTA_CURRENT);
    EXPECT_EQ(tss(D3DTSS_COLORARG0), D3DTA_CURRENT);
    EXPECT_EQ(tss(D3DTSS_RESULTARG), D3DTA_CURRENT);
    EXPECT_EQ(tss(D3DTSS_TEXCOORDINDEX), stage);
    EXPECT_EQ(tss(D3DTSS_TEXTURETRANSFORMFLAGS), DWORD(D3DTTFF_DISABLE));
    auto samp = [&](D3DSAMPLERSTATETYPE type) {
      DWORD value = 0xDEADBEEF;
      device->GetSamplerState(stage, type, &value);
      return value;
    };
    EXPECT_EQ(samp(D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(samp(D3DSAMP_ADDRESSV), DWORD(D3DTADDRESS_WRAP));
    EXPECT_EQ(samp(D3DSAMP_MAGFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(samp(D3DSAMP_MINFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(samp(D3DSAMP_MIPFILTER), DWORD(D3DTEXF_NONE));
    EXPECT_EQ(samp(D3DSAMP_MIPMAPLODBIAS), 0u);
    EXPECT_EQ(samp(D3DSAMP_MAXMIPLEVEL), 0u);
    IDirect3DBaseTexture9* texture = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    device->GetTexture(stage, &texture);
    EXPECT_EQ(texture, nullptr);
  }
  const D3DMATRIX identity = Identity();
  for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0,
                                  D3DTS_TEXTURE7}) {
    D3DMATRIX m{};
    ASSERT_HR(device->GetTransform(t, &m));
    EXPECT_EQ(std::memcmp(&m, &identity, sizeof m), 0) << "transform " << t;
  }
  D3DMATERIAL9 material{};
  material.Power = 3;
  device->GetMaterial(&material);
  EXPECT_EQ(material.Power, 0.0f);
  EXPECT_EQ(material.Diffuse.a, 0.0f);
  DWORD fvf = 1;
  device->GetFVF(&fvf);
  EXPECT_EQ(fvf, 0u);
}

TEST(State, ValuesReadBackAsSetAndTransformsMultiply) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  ASSERT_HR(device->SetRenderState(D3DRS_POINTSCALE_B, FloatDword(2.5f)));
  DWORD value = 0;
  device->GetRenderState(D3DRS_POINTSCALE_B, &value);
  EXPECT_EQ(value, FloatDword(2.5f));
  device->SetSamplerState(3, D3DSAMP_MIPMAPLODBIAS, FloatDword(-1.0f));
  device->GetSamplerState(3, D3DSAMP_MIPMAPLODBIAS, &value);
  EXPECT_EQ(value, FloatDword(-1.0f));
  D3DMATRIX scale = Identity();
  scale._11 = 2;
  D3DMATRIX move = Identity();
  move._41 = 3;
  device->SetTransform(D3DTS_TEXTURE2, &move);
  device->MultiplyTransform(D3DTS_TEXTURE2, &scale);  // scale·move: (x·2) + 3
  D3DMATRIX product{};
  device->GetTransform(D3DTS_TEXTURE2, &product);
  EXPECT_EQ(product._11, 2.0f);
  EXPECT_EQ(product._41, 3.0f);
  EXPECT_HR(device->SetVertexShader(nullptr));
  EXPECT_HR(device->SetFVF(0x212));
  device->GetFVF(&value);
  EXPECT_EQ(value, 0x212u);
}

TEST(State, UnsupportedValuesAreRefusedAndLeaveTheStateAlone) {
  TestDevice device(8, 8);
  ASSERT_TRUE(device.ok());
  struct {
    D3DRENDERSTATETYPE state;
    DWORD value;
  } refused[] = {
      {D3DRS_FOGENABLE, TRUE},        {D3DRS_SHADEMODE, D3DSHADE_FLAT},
      {D3DRS_SRCBLEND, 99},           {D3DRS_CULLMODE, 0},
      {D3DRS_ZFUNC, 9},               {D3DRS_WRAP0, D3DWRAP_U},
      {D3DRS_VERTEXBLEND, 1},         {D3DRS_AMBIENTMATERIALSOURCE, 3},
      {static_cast<D3DRENDERSTATETYPE>(1), 0}, {D3DRS_SCISSORTESTENABLE, TRUE},
  };
  for (const auto& r : refused) {
    DWORD before = 0, after = 0;
    device->GetRenderState(r.state, &before);
    EXPECT_EQ(device->SetRenderState(r.state, r.value), D3DERR_INVALIDCALL)
        << "render state " << r.state;
    device->GetRenderState(r.state, &after);
    EXPECT_EQ(after, before);
  }
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(4), nullptr));
  D3DMATRIX m = Identity();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetTransform(D3DTS_WORLDMATRIX(1), &m));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetTexture(8, nullptr));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetSamplerState(8, D3DSAMP_MAGFILTER, D3DTEXF_POINT));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetStreamSource(1, nullptr, 0, 0));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetVertexShader(reinterpret_cast<IDirect3DVertexShader9*>(8)));
}

namespace {

// A sequence of draws that changes blend, depth, texture, stage, light and point state
// between draws, as a frame of the show would.
std::vector<DWORD> DrawSequence(TestDevice& device) {
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
  IDirect3DTexture9* texture =
      MakeTexture(device.device, 2, 2, {0xFFFF0000, 0x8000FF00, 0x400000FF, 0xFFFFFFFF});
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  DrawColorQuad(device.device, -1, -1, 0, 0, 0xFF808080, 0.3f);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  DrawTexQuad(device.device, -0.5f, -0.5f, 0.5f, 0.5f);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device->SetTexture(0, nullptr);
  DrawColorQuad(device.device, -1, 0, 1, 1, 0x80FFFF00, 0.2f);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1, 0.5f, 0.25f, 1};
  light.Direction = {0, 0, 1};
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  struct {
    float x, y, z, nx, ny, nz;
  } lit[4] = {{0, 0, 0.1f, 0, 0, -1}, {1, 0, 0.1f, 0, 0, -1}, {0, -1, 0.1f, 0, 0, -1},
              {1, -1, 0.1f, 0, 0, -1}};
  D3DMATERIAL9 material{};
  material.Diffuse = {1, 1, 1, 0.5f};
  device->SetMaterial(&material);
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, lit, sizeof lit[0]);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_POINTSIZE, FloatDword(5));
  device->SetTexture(0, texture);
  device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  D3DVECTOR point{-0.5f, 0.5f, 0.0f};
  device->SetFVF(D3DFVF_XYZ);
  device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
  device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
  device->SetTexture(0, nullptr);
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  texture->Release();
  return device.Read();
}

}  // namespace

TEST(StateCache, DrawsExactlyWhatAFullReapplicationDraws) {
  TestDevice cached(32, 32);
  ASSERT_TRUE(cached.ok());
  std::vector<DWORD> first = DrawSequence(cached);
  std::vector<DWORD> second = DrawSequence(cached);  // warm cache, same result
  D3D9SetFullStateApply(true);
  TestDevice full(32, 32);
  std::vector<DWORD> reference = DrawSequence(full);
  D3D9SetFullStateApply(false);
  EXPECT_EQ(first, reference);
  EXPECT_EQ(second, reference);
  // The sequence visibly drew something of each step.
  EXPECT_NE(reference[16 * 32 + 16], reference[0]);
}

TEST(StateCache, ProgramsAreReusedForTheSameState) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  auto* impl = static_cast<Device9*>(device.device);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  DrawFullScreenColor(device.device, 0xFFFF0000);
  std::size_t programs = impl->programCount();
  // Values that feed uniforms only need no new program.
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF00FF00);
  device->SetRenderState(D3DRS_ALPHAREF, 0x40);
  D3DMATRIX world = Identity();
  world._41 = 1.0f;
  device->SetTransform(D3DTS_WORLD, &world);
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  DrawFullScreenColor(device.device, 0xFF0000FF);
  EXPECT_EQ(impl->programCount(), programs);
  EXPECT_TRUE(ColorNear(device.Pixel(2, 8), 0x000000, 0));  // moved right by the world
  EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0x0000ff, 0));
  // A change of stage operation needs one; going back reuses the first.
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  DrawFullScreenColor(device.device, 0xFF0000FF);
  EXPECT_EQ(impl->programCount(), programs + 1);
  EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0x00ff00, 0));
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  DrawFullScreenColor(device.device, 0xFFFF00FF);
  EXPECT_EQ(impl->programCount(), programs + 1);
  EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0xff00ff, 0));
}
