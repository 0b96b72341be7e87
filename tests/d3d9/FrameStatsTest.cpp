// Frame statistics: the change cache is measured. A frame that asks for exactly what the
// previous one asked for applies nothing to OpenGL but its draws, and one changed value
// applies only what it feeds.
#include <gtest/gtest.h>

#include <cstring>

#include "d3d9/D3D9TestDevice.h"
#include "platform/d3d9/d3d9host.h"

namespace {

struct LitVertex {
  float x, y, z, nx, ny, nz, u, v;
};

// Everything a show sets for a lit, textured, blended draw, set in full each frame.
class Scene {
 public:
  explicit Scene(TestDevice& device) : d_(device) {
    texture_ = MakeTexture(d_.device, 2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    const LitVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0, 0},
                               {1, 1, 0.5f, 0, 0, -1, 1, 0},
                               {-1, -1, 0.5f, 0, 0, -1, 0, 1},
                               {1, -1, 0.5f, 0, 0, -1, 1, 1}};
    d_->CreateVertexBuffer(sizeof quad, 0, kFvf, D3DPOOL_MANAGED, &vertices_, nullptr);
    void* bytes = nullptr;
    vertices_->Lock(0, 0, &bytes, 0);
    std::memcpy(bytes, quad, sizeof quad);
    vertices_->Unlock();
    const WORD list[6] = {0, 1, 2, 2, 1, 3};
    d_->CreateIndexBuffer(sizeof list, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices_, nullptr);
    indices_->Lock(0, 0, &bytes, 0);
    std::memcpy(bytes, list, sizeof list);
    indices_->Unlock();
  }
  ~Scene() {
    d_->SetTexture(0, nullptr);
    d_->SetStreamSource(0, nullptr, 0, 0);
    d_->SetIndices(nullptr);
    if (texture_) texture_->Release();
    if (vertices_) vertices_->Release();
    if (indices_) indices_->Release();
  }

  bool ok() const { return texture_ && vertices_ && indices_; }

  D3D9FrameStats Frame(DWORD factor = 0xFF808080, BOOL blend = TRUE,
                       DWORD minFilter = D3DTEXF_LINEAR) {
    d_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0);
    d_->BeginScene();
    D3DMATRIX world = Identity();
    world._11 = 0.5f;
    d_->SetTransform(D3DTS_WORLD, &world);
    D3DMATRIX identity = Identity();
    d_->SetTransform(D3DTS_VIEW, &identity);
    d_->SetTransform(D3DTS_PROJECTION, &identity);
    D3DVIEWPORT9 viewport{0, 0, d_.width, d_.height, 0.0f, 1.0f};
    d_->SetViewport(&viewport);
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 0.75f};
    material.Ambient = {0.2f, 0.2f, 0.2f, 1};
    d_->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 0.8f, 0.6f, 1};
    light.Direction = {0, 0, 1};
    d_->SetLight(0, &light);
    d_->LightEnable(0, TRUE);
    d_->SetRenderState(D3DRS_LIGHTING, TRUE);
    d_->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    d_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d_->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    d_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    d_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    d_->SetTexture(0, texture_);
    d_->SetSamplerState(0, D3DSAMP_MINFILTER, minFilter);
    d_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    d_->SetFVF(kFvf);
    d_->SetStreamSource(0, vertices_, 0, sizeof(LitVertex));
    d_->SetIndices(indices_);
    EXPECT_EQ(d_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(d_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    d_->EndScene();
    d_->Present(nullptr, nullptr, nullptr, nullptr);
    D3D9FrameStats stats;
    EXPECT_TRUE(D3D9GetFrameStats(d_.device, &stats));
    return stats;
  }

 private:
  static constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
  TestDevice& d_;
  IDirect3DTexture9* texture_ = nullptr;
  IDirect3DVertexBuffer9* vertices_ = nullptr;
  IDirect3DIndexBuffer9* indices_ = nullptr;
};

void ExpectOnly(const D3D9FrameStats& s, std::uint64_t stateChanges,
                std::uint64_t uniformUploads) {
  EXPECT_EQ(s.draws, 2u);
  EXPECT_EQ(s.stateChanges, stateChanges);
  EXPECT_EQ(s.uniformUploads, uniformUploads);
  EXPECT_EQ(s.textureBinds, 0u);
  EXPECT_EQ(s.bufferBinds, 0u);
  EXPECT_EQ(s.programSwitches, 0u);
}

}  // namespace

TEST(FrameStats, AnIdenticalSecondFrameAppliesNoState) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  D3D9FrameStats stats;
  ASSERT_TRUE(D3D9GetFrameStats(device.device, &stats));
  EXPECT_EQ(stats.draws, 0u);  // nothing presented yet
  {
    Scene scene(device);
    ASSERT_TRUE(scene.ok());
    D3D9FrameStats first = scene.Frame();
    EXPECT_EQ(first.draws, 2u);
    EXPECT_GT(first.stateChanges, 0u);
    EXPECT_GT(first.uniformUploads, 0u);
    EXPECT_GT(first.textureBinds, 0u);
    EXPECT_GT(first.bufferBinds, 0u);
    EXPECT_EQ(first.programSwitches, 1u);
    SCOPED_TRACE("second frame");
    ExpectOnly(scene.Frame(), 0, 0);
    SCOPED_TRACE("third frame");
    ExpectOnly(scene.Frame(), 0, 0);
  }
}

TEST(FrameStats, OneChangedValueAppliesOnlyWhatItFeeds) {
  TestDevice device(16, 16);
  ASSERT_TRUE(device.ok());
  Scene scene(device);
  ASSERT_TRUE(scene.ok());
  scene.Frame();
  {
    SCOPED_TRACE("texture factor: one uniform group");
    ExpectOnly(scene.Frame(0xFF404040), 0, 1);
  }
  {
    SCOPED_TRACE("blending off: one capability");
    ExpectOnly(scene.Frame(0xFF404040, FALSE), 1, 0);
  }
  {
    SCOPED_TRACE("blending on again");
    ExpectOnly(scene.Frame(0xFF404040, TRUE), 1, 0);
  }
  D3D9FrameStats sampler = scene.Frame(0xFF404040, TRUE, D3DTEXF_POINT);
  EXPECT_GT(sampler.stateChanges, 0u);
  EXPECT_EQ(sampler.uniformUploads, 0u);
  EXPECT_EQ(sampler.programSwitches, 0u);
  ExpectOnly(scene.Frame(0xFF404040, TRUE, D3DTEXF_POINT), 0, 0);
}

TEST(FrameStats, OnlyThisLayersDevicesHaveThem) {
  D3D9FrameStats stats;
  EXPECT_FALSE(D3D9GetFrameStats(nullptr, &stats));
}
