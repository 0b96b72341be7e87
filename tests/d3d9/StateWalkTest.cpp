// Differential test of the change cache: a seeded random walk through the states the layer
// accepts (render, stage and sampler states, transforms, viewport, material, lights,
// textures, vertex sources), drawing after each step, gives every draw the same pixels as
// the same walk with the whole state re-applied at every draw.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "d3d9/D3D9TestDevice.h"
#include "platform/d3d9/d3d9host.h"

namespace {

struct Vertex {
  float x, y, z, nx, ny, nz;
  DWORD diffuse, specular;
  float u0, v0, u1, v1;
};
constexpr DWORD kFvf =
    D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;

struct Trace {
  std::vector<std::string> steps;            // what each step changed
  std::vector<std::vector<DWORD>> pixels;    // after each step's draw
};

class Walk {
 public:
  Walk(TestDevice& d, std::uint32_t seed) : d_(d), random_(seed) {}

  Trace Run(int steps) {
    MakeResources();
    Trace trace;
    for (int i = 0; i < steps; ++i) {
      step_.clear();
      if (i % 6 == 0) Reveal();
      int changes = 1 + Pick(3);
      for (int c = 0; c < changes; ++c) Change();
      Draw();
      trace.steps.push_back(step_);
      trace.pixels.push_back(d_.Read());
    }
    ReleaseResources();
    return trace;
  }

 private:
  DWORD Pick(DWORD n) { return static_cast<DWORD>(random_() % n); }
  float Unit() { return static_cast<float>(random_() % 1001) / 1000.0f; }
  DWORD Color() { return static_cast<DWORD>(random_()); }
  void Note(const char* what, DWORD a, DWORD b = 0) {
    step_ += std::string(what) + "(" + std::to_string(a) + "," + std::to_string(b) + ") ";
  }

  void RenderState(D3DRENDERSTATETYPE state, DWORD value) {
    Note("rs", state, value);
    EXPECT_EQ(d_->SetRenderState(state, value), D3D_OK) << step_;
  }

  void Change() {
    switch (Pick(12)) {
      case 0:
      case 1:
      case 2:
        ChangeRenderState();
        break;
      case 3:
      case 4: {
        DWORD stage = Pick(2);
        ChangeStageState(stage);
        break;
      }
      case 5: {
        static constexpr D3DSAMPLERSTATETYPE kTypes[] = {
            D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV, D3DSAMP_MAGFILTER,   D3DSAMP_MINFILTER,
            D3DSAMP_MIPFILTER, D3DSAMP_BORDERCOLOR, D3DSAMP_MAXMIPLEVEL, D3DSAMP_MIPMAPLODBIAS};
        DWORD sampler = Pick(2);
        D3DSAMPLERSTATETYPE type = kTypes[Pick(8)];
        DWORD value = 0;
        if (type == D3DSAMP_ADDRESSU || type == D3DSAMP_ADDRESSV) value = 1 + Pick(4);
        if (type == D3DSAMP_MAGFILTER) value = 1 + Pick(2);
        if (type == D3DSAMP_MINFILTER || type == D3DSAMP_MIPFILTER) value = Pick(3);
        if (type == D3DSAMP_BORDERCOLOR) value = Color();
        if (type == D3DSAMP_MAXMIPLEVEL) value = Pick(3);
        if (type == D3DSAMP_MIPMAPLODBIAS) value = FloatDword(Unit() * 2 - 1);
        Note("sampler", sampler * 100 + type, value);
        EXPECT_EQ(d_->SetSamplerState(sampler, type, value), D3D_OK) << step_;
        break;
      }
      case 6: {
        DWORD stage = Pick(2);
        DWORD which = Pick(4);
        Note("texture", stage, which);
        d_->SetTexture(stage, which < 3 ? textures_[which] : nullptr);
        break;
      }
      case 7: {
        static constexpr D3DTRANSFORMSTATETYPE kTransforms[] = {
            D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0, D3DTS_TEXTURE1};
        D3DTRANSFORMSTATETYPE which = kTransforms[Pick(5)];
        D3DMATRIX m = Identity();
        m._11 = 0.5f + Unit();
        m._22 = 0.5f + Unit();
        m._12 = Unit() - 0.5f;
        m._41 = Unit() - 0.5f;
        m._42 = Unit() - 0.5f;
        if (which == D3DTS_VIEW) m._43 = Unit() * 0.3f;
        Note("transform", which);
        d_->SetTransform(which, &m);
        break;
      }
      case 8: {
        D3DVIEWPORT9 v{Pick(8), Pick(8), 0, 0, Unit() * 0.4f, 0.6f + Unit() * 0.4f};
        v.Width = 8 + Pick(d_.width - 8 - v.X + 1);
        v.Height = 8 + Pick(d_.height - 8 - v.Y + 1);
        Note("viewport", v.X * 100 + v.Y, v.Width * 100 + v.Height);
        EXPECT_EQ(d_->SetViewport(&v), D3D_OK) << step_;
        break;
      }
      case 9: {
        D3DMATERIAL9 m{};
        m.Diffuse = {Unit(), Unit(), Unit(), Unit()};
        m.Ambient = {Unit(), Unit(), Unit(), 1};
        m.Specular = {Unit(), Unit(), Unit(), 1};
        m.Emissive = {Unit() * 0.3f, Unit() * 0.3f, Unit() * 0.3f, 0};
        m.Power = 1 + Unit() * 30;
        Note("material", 0);
        d_->SetMaterial(&m);
        break;
      }
      case 10: {
        DWORD index = Pick(2);
        D3DLIGHT9 l{};
        l.Type = static_cast<D3DLIGHTTYPE>(1 + Pick(3));
        l.Diffuse = {Unit(), Unit(), Unit(), 1};
        l.Specular = {Unit(), Unit(), Unit(), 1};
        l.Ambient = {Unit() * 0.3f, Unit() * 0.3f, Unit() * 0.3f, 1};
        l.Position = {Unit() - 0.5f, Unit() - 0.5f, -1};
        l.Direction = {Unit() - 0.5f, Unit() - 0.5f, 1};
        l.Range = 10;
        l.Attenuation0 = 1;
        l.Attenuation1 = Unit();
        l.Theta = 0.5f;
        l.Phi = 1.0f;
        l.Falloff = 1;
        Note("light", index, l.Type);
        EXPECT_EQ(d_->SetLight(index, &l), D3D_OK) << step_;
        EXPECT_EQ(d_->LightEnable(index, Pick(3) != 0), D3D_OK) << step_;
        break;
      }
      default: {
        Note("clear", 0);
        d_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, Color(),
                  Unit(), Pick(256));
        break;
      }
    }
  }

  // States that hide every draw pile up on a long walk: now and then they go back.
  void Reveal() {
    RenderState(D3DRS_COLORWRITEENABLE, 0xF);
    RenderState(D3DRS_ZENABLE, FALSE);
    RenderState(D3DRS_ALPHATESTENABLE, FALSE);
    RenderState(D3DRS_STENCILENABLE, FALSE);
    RenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  }

  void ChangeRenderState() {
    switch (Pick(16)) {
      case 0:
        return RenderState(D3DRS_ALPHABLENDENABLE, Pick(2));
      case 1:
        return RenderState(Pick(2) ? D3DRS_SRCBLEND : D3DRS_DESTBLEND, 1 + Pick(15));
      case 2:
        return RenderState(Pick(2) ? D3DRS_BLENDOP : D3DRS_BLENDOPALPHA, 1 + Pick(5));
      case 3:
        return RenderState(D3DRS_SEPARATEALPHABLENDENABLE, Pick(2));
      case 4:
        return RenderState(Pick(2) ? D3DRS_SRCBLENDALPHA : D3DRS_DESTBLENDALPHA, 1 + Pick(15));
      case 5:
        return RenderState(Pick(2) ? D3DRS_BLENDFACTOR : D3DRS_TEXTUREFACTOR, Color());
      case 6:
        return RenderState(Pick(2) ? D3DRS_ZENABLE : D3DRS_ZWRITEENABLE, Pick(2));
      case 7:
        return RenderState(Pick(2) ? D3DRS_ZFUNC : D3DRS_ALPHAFUNC, 1 + Pick(8));
      case 8:
        return RenderState(Pick(2) ? D3DRS_ALPHATESTENABLE : D3DRS_ALPHAREF,
                           Pick(2) ? Pick(2) : Pick(256));
      case 9:
        return RenderState(D3DRS_CULLMODE, 1 + Pick(3));
      case 10:
        return RenderState(D3DRS_COLORWRITEENABLE, Pick(16));
      case 11: {
        static constexpr D3DRENDERSTATETYPE kStencil[] = {
            D3DRS_STENCILENABLE, D3DRS_STENCILFUNC, D3DRS_STENCILFAIL, D3DRS_STENCILZFAIL,
            D3DRS_STENCILPASS,   D3DRS_STENCILREF,  D3DRS_STENCILMASK, D3DRS_STENCILWRITEMASK};
        DWORD which = Pick(8);
        DWORD value = which == 0 ? Pick(2) : which == 1 ? 1 + Pick(8) : which < 5 ? 1 + Pick(8)
                                                                                  : Color();
        return RenderState(kStencil[which], value);
      }
      case 12: {
        static constexpr D3DRENDERSTATETYPE kLighting[] = {
            D3DRS_LIGHTING,         D3DRS_SPECULARENABLE, D3DRS_COLORVERTEX,
            D3DRS_LOCALVIEWER,      D3DRS_NORMALIZENORMALS};
        return RenderState(kLighting[Pick(5)], Pick(2));
      }
      case 13: {
        static constexpr D3DRENDERSTATETYPE kSources[] = {
            D3DRS_DIFFUSEMATERIALSOURCE, D3DRS_SPECULARMATERIALSOURCE,
            D3DRS_AMBIENTMATERIALSOURCE, D3DRS_EMISSIVEMATERIALSOURCE};
        return RenderState(kSources[Pick(4)], Pick(3));
      }
      case 14:
        if (Pick(2)) return RenderState(D3DRS_AMBIENT, Color());
        return RenderState(D3DRS_FILLMODE, 1 + Pick(3));
      default: {
        static constexpr D3DRENDERSTATETYPE kPoints[] = {
            D3DRS_POINTSIZE,     D3DRS_POINTSIZE_MIN, D3DRS_POINTSIZE_MAX, D3DRS_POINTSCALE_A,
            D3DRS_POINTSCALE_B,  D3DRS_POINTSCALE_C,  D3DRS_POINTSPRITEENABLE,
            D3DRS_POINTSCALEENABLE};
        DWORD which = Pick(8);
        DWORD value = which >= 6 ? Pick(2) : FloatDword(which < 3 ? 1 + Unit() * 8 : Unit());
        return RenderState(kPoints[which], value);
      }
    }
  }

  void ChangeStageState(DWORD stage) {
    static constexpr DWORD kOps[] = {
        D3DTOP_DISABLE,           D3DTOP_SELECTARG1,        D3DTOP_SELECTARG2,
        D3DTOP_MODULATE,          D3DTOP_MODULATE2X,        D3DTOP_MODULATE4X,
        D3DTOP_ADD,               D3DTOP_ADDSIGNED,         D3DTOP_ADDSIGNED2X,
        D3DTOP_SUBTRACT,          D3DTOP_ADDSMOOTH,         D3DTOP_BLENDDIFFUSEALPHA,
        D3DTOP_BLENDTEXTUREALPHA, D3DTOP_BLENDFACTORALPHA,  D3DTOP_BLENDTEXTUREALPHAPM,
        D3DTOP_BLENDCURRENTALPHA, D3DTOP_DOTPRODUCT3,       D3DTOP_MULTIPLYADD,
        D3DTOP_LERP,              D3DTOP_MODULATEALPHA_ADDCOLOR};
    DWORD arg = Pick(6) | (Pick(3) == 0 ? D3DTA_COMPLEMENT : 0) |
                (Pick(3) == 0 ? D3DTA_ALPHAREPLICATE : 0);
    D3DTEXTURESTAGESTATETYPE type = D3DTSS_COLOROP;
    DWORD value = 0;
    switch (Pick(7)) {
      case 0:
        value = kOps[Pick(20)];
        break;
      case 1:
        type = D3DTSS_ALPHAOP;
        value = kOps[Pick(19)];
        break;
      case 2:
        type = static_cast<D3DTEXTURESTAGESTATETYPE>(
            std::vector<DWORD>{D3DTSS_COLORARG0, D3DTSS_COLORARG1, D3DTSS_COLORARG2}[Pick(3)]);
        value = arg;
        break;
      case 3:
        type = static_cast<D3DTEXTURESTAGESTATETYPE>(
            std::vector<DWORD>{D3DTSS_ALPHAARG0, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2}[Pick(3)]);
        value = arg;
        break;
      case 4:
        type = D3DTSS_RESULTARG;
        value = Pick(2) ? D3DTA_CURRENT : D3DTA_TEMP;
        break;
      case 5:
        type = D3DTSS_TEXCOORDINDEX;
        value = Pick(2) | (Pick(5) << 16);
        break;
      default:
        type = D3DTSS_TEXTURETRANSFORMFLAGS;
        value = Pick(5);
        break;
    }
    Note("stage", stage * 100 + type, value);
    EXPECT_EQ(d_->SetTextureStageState(stage, type, value), D3D_OK) << step_;
  }

  void Draw() {
    Vertex v[4];
    const float corners[4][2] = {{-0.8f, 0.8f}, {0.8f, 0.8f}, {-0.8f, -0.8f}, {0.8f, -0.8f}};
    for (int i = 0; i < 4; ++i)
      v[i] = Vertex{corners[i][0] + Unit() * 0.2f, corners[i][1] - Unit() * 0.2f, Unit(),
                    0, 0, -1, Color(), Color(),
                    Unit() * 2, Unit() * 2, Unit(), Unit()};
    switch (Pick(5)) {
      case 0:
        Note("drawUP", 0);
        d_->SetFVF(kFvf);
        d_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(Vertex));
        break;
      case 1: {
        Note("drawPoints", 0);
        d_->SetFVF(kFvf);
        d_->DrawPrimitiveUP(D3DPT_POINTLIST, 4, v, sizeof(Vertex));
        break;
      }
      case 2: {
        Note("drawIndexedUP", 0);
        const WORD list[6] = {0, 1, 2, 2, 1, 3};
        d_->SetFVF(kFvf);
        d_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, list, D3DFMT_INDEX16, v,
                                   sizeof(Vertex));
        break;
      }
      default: {
        Note("drawBuffers", 0);
        void* bytes = nullptr;
        vertices_->Lock(0, 0, &bytes, 0);
        std::memcpy(bytes, v, sizeof v);
        vertices_->Unlock();
        d_->SetFVF(kFvf);
        d_->SetStreamSource(0, vertices_, 0, sizeof(Vertex));
        d_->SetIndices(indices_);
        if (Pick(2))
          d_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        else
          d_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
        break;
      }
    }
  }

  void MakeResources() {
    std::vector<DWORD> texels(16);
    for (int t = 0; t < 3; ++t) {
      for (DWORD& texel : texels) texel = Color();
      textures_[t] = MakeTexture(d_.device, 4, 4, texels);
    }
    d_->CreateVertexBuffer(4 * sizeof(Vertex), 0, kFvf, D3DPOOL_MANAGED, &vertices_, nullptr);
    d_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices_, nullptr);
    void* bytes = nullptr;
    const WORD list[6] = {0, 1, 2, 2, 1, 3};
    indices_->Lock(0, 0, &bytes, 0);
    std::memcpy(bytes, list, sizeof list);
    indices_->Unlock();
  }

  void ReleaseResources() {
    for (DWORD s = 0; s < 2; ++s) d_->SetTexture(s, nullptr);
    d_->SetStreamSource(0, nullptr, 0, 0);
    d_->SetIndices(nullptr);
    for (auto* t : textures_)
      if (t) t->Release();
    if (vertices_) vertices_->Release();
    if (indices_) indices_->Release();
  }

  TestDevice& d_;
  std::mt19937 random_;
  std::string step_;
  IDirect3DTexture9* textures_[3] = {};
  IDirect3DVertexBuffer9* vertices_ = nullptr;
  IDirect3DIndexBuffer9* indices_ = nullptr;
};

Trace RunWalk(std::uint32_t seed, int steps, bool full) {
  D3D9SetFullStateApply(full);
  TestDevice device(24, 24);
  Trace trace;
  if (device.ok()) trace = Walk(device, seed).Run(steps);
  D3D9SetFullStateApply(false);
  return trace;
}

}  // namespace

TEST(StateWalk, EveryDrawMatchesAFullReapplication) {
  const int kSteps = 120;
  for (std::uint32_t seed : {1u, 2u}) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Trace cached = RunWalk(seed, kSteps, false);
    Trace full = RunWalk(seed, kSteps, true);
    ASSERT_EQ(cached.pixels.size(), static_cast<std::size_t>(kSteps));
    ASSERT_EQ(full.steps, cached.steps);
    int differing = 0;
    for (int i = 0; i < kSteps && differing < 3; ++i) {
      if (cached.pixels[i] == full.pixels[i]) continue;
      ++differing;
      std::string history;
      for (int j = std::max(0, i - 3); j <= i; ++j)
        history += "\n  step " + std::to_string(j) + ": " + cached.steps[j];
      ADD_FAILURE() << "draw " << i << " differs from the full re-application; the steps before:"
                    << history;
    }
    // The walk drew: not every draw left the target as it was.
    int changed = 0;
    for (int i = 1; i < kSteps; ++i) changed += full.pixels[i] != full.pixels[i - 1];
    EXPECT_GT(changed, kSteps / 3);
  }
}
