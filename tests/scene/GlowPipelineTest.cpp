// The glow pipeline on a headless device against the floating-point model of the
// chain: the glow source, every blur level (four taps, or twice two), the
// composite over the frame; the two paths agree; a scene without self-illumination
// is left as it was; the camera's transforms come back; missing targets mean no glow;
// no level is read while it is being rendered into.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "support/ForwardingDevice.h"
#include "GlowModel.h"
#include "GlowSceneSupport.h"
#include "platform/d3d9/d3d9host.h"
#include "scene/GlowProcessor.h"
#include "support/ComOut.h"

namespace {

// Tolerance of device against model, in 1/255 steps per channel: bilinear weights
// and blending run in 8-bit fixed point on the device.
constexpr float kTolerance = 1.5f;
// The composite sums eight bilinear samples, each rounded on the device.
constexpr float kCompositeTolerance = 2.5f;
constexpr DWORD kClear = 0xFF182028;

GlowImage BackBuffer(IDirect3DDevice9* device) {
  IDirect3DSurface9* target = nullptr;
  device->GetRenderTarget(0, &target);
  GlowImage image = ReadSurface(device, target);
  target->Release();
  return image;
}

std::vector<GlowImage> Levels(IDirect3DDevice9* device) {
  std::vector<GlowImage> levels;
  for (int i = 0; i < kGlowLevels; ++i) levels.push_back(ReadTextureLevel(device, GlowTarget(i)));
  return levels;
}

// The 512x512 glow source of a self-illuminated rectangle: `selfIllum` where the
// quad covers a pixel centre, black elsewhere. -1 marks pixels on the edge, where
// the rasterizer's tie rule decides.
GlowImage ModelSource(const Camera& camera, const GlowScene& scene, float distance, float hx,
                      float hy, float selfIllum) {
  D3DXMATRIX viewProjection;
  D3DXMatrixMultiply(&viewProjection, &camera.view, &camera.projection);
  auto pixel = [&](float x, float y) {
    const D3DXVECTOR3 world = scene.Ahead(distance, x, y);
    D3DXVECTOR4 clip;
    D3DXVec3Transform(&clip, &world, &viewProjection);
    return std::array<float, 2>{(clip.x / clip.w + 1) * 256, (1 - clip.y / clip.w) * 256};
  };
  const auto topLeft = pixel(-hx, hy), bottomRight = pixel(hx, -hy);
  GlowImage source(512, 512);
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
      const bool inside = cx > topLeft[0] && cx < bottomRight[0] && cy > topLeft[1] &&
                          cy < bottomRight[1];
      const bool edge = std::fabs(cx - topLeft[0]) < 1 || std::fabs(cx - bottomRight[0]) < 1 ||
                        std::fabs(cy - topLeft[1]) < 1 || std::fabs(cy - bottomRight[1]) < 1;
      const float value = edge ? -1.0f : inside ? selfIllum : 0.0f;
      source.at(x, y) = {value, value, value};
    }
  }
  return source;
}

// Largest difference over the pixels the model decides (not -1).
float SourceDifference(const GlowImage& model, const GlowImage& device) {
  float worst = 0;
  for (std::size_t i = 0; i < model.pixels.size(); ++i)
    if (model.pixels[i][0] >= 0)
      for (int k = 0; k < 3; ++k)
        worst = std::max(worst, std::fabs(model.pixels[i][k] - device.pixels[i][k]) * 255);
  return worst;
}

struct Result {
  GlowImage before, after;
  std::vector<GlowImage> levels;
};

constexpr float kDistance = 10, kHalfX = 2.5f, kHalfY = 1.5f, kSelfIllum = 0.8f;

Result RenderQuadScene(IDirect3DDevice9* device, float selfIllum, GlowScene** kept = nullptr) {
  auto* scene = new GlowScene(device);
  scene->AddQuad(kDistance, kHalfX, kHalfY, selfIllum);
  scene->Prepare();
  Result result;
  scene->Frame(kClear, false);
  result.before = BackBuffer(device);
  scene->Frame(kClear, true);
  result.after = BackBuffer(device);
  result.levels = Levels(device);
  if (kept)
    *kept = scene;
  else
    delete scene;
  return result;
}

void ExpectChainMatchesModel(const Result& r, bool twoTaps, const GlowScene& scene) {
  const GlowImage source =
      ModelSource(*scene.camera, scene, kDistance, kHalfX, kHalfY, kSelfIllum);
  EXPECT_LE(SourceDifference(source, r.levels[0]), 1) << "glow source";
  for (int i = 1; i < kGlowLevels; ++i) {
    const GlowImage model = ModelBlurLevel(r.levels[i - 1], static_cast<int>(kGlowLevelSizes[i]),
                                           static_cast<float>(i) * 0.005f, twoTaps);
    const float difference = MaxDifference(model, r.levels[i]);
    EXPECT_LE(difference, kTolerance) << "level " << i;
    std::printf("%s level %d: largest difference %.2f / 255\n", twoTaps ? "2-tap" : "4-tap", i,
                difference);
  }
  const GlowImage composite = ModelComposite(r.before, r.levels, twoTaps ? 2 : 4);
  EXPECT_LE(MaxDifference(composite, r.after), kCompositeTolerance) << "composite";
}

TEST(GlowPipeline, FourTapChainMatchesTheModelLevelByLevelAndInTheFrame) {
  GlowDevice glow(160, 120);
  ASSERT_TRUE(glow.ok());
  GlowScene* scene = nullptr;
  Result r = RenderQuadScene(glow.device, kSelfIllum, &scene);
  std::unique_ptr<GlowScene> owner(scene);
  ExpectChainMatchesModel(r, false, *scene);
  // The last level is the whole glow averaged: not black, so the chain carried light down.
  EXPECT_GT(r.levels[7].at(0, 0)[0], 0.0f);
  // A halo: outside the quad the frame gains light that falls off with distance from its edge.
  const int cy = 60;
  int edge = 80;
  while (edge < 159 && r.before.at(edge + 1, cy)[0] > r.before.at(159, cy)[0]) ++edge;
  const float near = r.after.at(edge + 3, cy)[0] - r.before.at(edge + 3, cy)[0];
  const float far = r.after.at(edge + 20, cy)[0] - r.before.at(edge + 20, cy)[0];
  EXPECT_GT(near, far);
  EXPECT_GT(far, 0.0f);
}

TEST(GlowPipeline, TwoTextureDeviceMatchesTheModelAndTheFourTexturePath) {
  GlowDevice glow(160, 120);
  ASSERT_TRUE(glow.ok());
  const Result four = RenderQuadScene(glow.device, kSelfIllum);
  D3DCAPS9 caps{};
  glow.device->GetDeviceCaps(&caps);
  caps.MaxSimultaneousTextures = 2;
  D3D9SetCapsOverride(&caps);
  GlowScene* scene = nullptr;
  const Result two = RenderQuadScene(glow.device, kSelfIllum, &scene);
  std::unique_ptr<GlowScene> owner(scene);
  D3D9SetCapsOverride(nullptr);
  auto* processor = dynamic_cast<GlowProcessor*>(scene->graph.processors.at(1));
  ASSERT_NE(processor, nullptr);
  EXPECT_TRUE(processor->fewTextureUnits);
  ExpectChainMatchesModel(two, true, *scene);
  for (int i = 0; i < kGlowLevels; ++i)
    EXPECT_LE(MaxDifference(four.levels[i], two.levels[i]), 2.5f) << "level " << i;
  EXPECT_LE(MaxDifference(four.after, two.after), 2.5f);
}

TEST(GlowPipeline, NothingSelfIlluminatedLeavesTheFrameUnchanged) {
  GlowDevice glow(96, 72);
  ASSERT_TRUE(glow.ok());
  const Result r = RenderQuadScene(glow.device, 0.0f);
  EXPECT_EQ(MaxDifference(r.before, r.after), 0);
  for (int i = 0; i < kGlowLevels; ++i)
    EXPECT_EQ(MaxDifference(r.levels[i], GlowImage(r.levels[i].width, r.levels[i].height)), 0)
        << "level " << i;
}

TEST(GlowPipeline, CameraTransformsTargetsAndDepthStatesComeBack) {
  GlowDevice glow(96, 72);
  ASSERT_TRUE(glow.ok());
  IDirect3DDevice9* device = glow.device;
  IDirect3DSurface9* backBuffer = nullptr;
  IDirect3DSurface9* depth = nullptr;
  device->GetRenderTarget(0, &backBuffer);
  device->GetDepthStencilSurface(&depth);
  GlowScene scene(device);
  scene.AddQuad(kDistance, kHalfX, kHalfY, kSelfIllum);
  scene.Prepare();
  scene.Frame(kClear, true);
  D3DMATRIX view{}, projection{};
  device->GetTransform(D3DTS_VIEW, &view);
  device->GetTransform(D3DTS_PROJECTION, &projection);
  EXPECT_EQ(0, std::memcmp(&view, &scene.camera->view, sizeof view));
  EXPECT_EQ(0, std::memcmp(&projection, &scene.camera->projection, sizeof projection));
  IDirect3DSurface9* target = nullptr;
  IDirect3DSurface9* depthNow = nullptr;
  device->GetRenderTarget(0, &target);
  device->GetDepthStencilSurface(&depthNow);
  EXPECT_EQ(target, backBuffer);
  EXPECT_EQ(depthNow, depth);
  DWORD z = 0, zWrite = 0, lighting = 0;
  device->GetRenderState(D3DRS_ZENABLE, &z);
  device->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
  device->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(z, 1u);
  EXPECT_EQ(zWrite, 1u);
  EXPECT_EQ(lighting, 1u);
  D3DVIEWPORT9 viewport{};
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 96u);
  EXPECT_EQ(viewport.Height, 72u);
  for (IDirect3DSurface9* s : {backBuffer, depth, target, depthNow}) s->Release();
}

// Refuses the depth surface, so the glow targets are never complete.
class NoDepthSurface : public ForwardingDevice {
 public:
  using ForwardingDevice::ForwardingDevice;
  HRESULT CreateDepthStencilSurface(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE, DWORD, WINBOOL,
                                    IDirect3DSurface9** surface, HANDLE*) override {
    if (surface) *surface = nullptr;
    return D3DERR_OUTOFVIDEOMEMORY;
  }
};

TEST(GlowPipeline, WithoutEveryTargetTheSceneIsDrawnWithoutGlow) {
  static std::unique_ptr<NoDepthSurface> wrapper;
  GlowDevice glow(96, 72, [](IDirect3DDevice9* real) -> IDirect3DDevice9* {
    wrapper = std::make_unique<NoDepthSurface>(real);
    return wrapper.get();
  });
  ASSERT_TRUE(glow.ok());
  EXPECT_FALSE(GlowTargetsComplete());
  EXPECT_NE(GlowTarget(0), nullptr);
  EXPECT_EQ(GlowDepth(), nullptr);
  const Result r = [&] {
    GlowScene scene(glow.device);
    scene.AddQuad(kDistance, kHalfX, kHalfY, kSelfIllum);
    scene.Prepare();
    Result out;
    scene.Frame(kClear, false);
    out.before = BackBuffer(glow.device);
    scene.Frame(kClear, true);
    out.after = BackBuffer(glow.device);
    return out;
  }();
  EXPECT_EQ(MaxDifference(r.before, r.after), 0);
  ReleaseGlowTargets();
  wrapper.reset();
}

// Records, for every draw, the render target and the textures on the stages.
class DrawRecorder : public ForwardingDevice {
 public:
  using ForwardingDevice::ForwardingDevice;
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override {
    if (index == 0) target = surface;
    return ForwardingDevice::SetRenderTarget(index, surface);
  }
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
    if (stage < 8) stages[stage] = texture;
    return ForwardingDevice::SetTexture(stage, texture);
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override {
    Record();
    return ForwardingDevice::DrawPrimitive(type, start, count);
  }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT base, UINT minimum, UINT vertices,
                               UINT start, UINT count) override {
    Record();
    return ForwardingDevice::DrawIndexedPrimitive(type, base, minimum, vertices, start, count);
  }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data,
                          UINT stride) override {
    Record();
    return ForwardingDevice::DrawPrimitiveUP(type, count, data, stride);
  }
  void Record() { draws.push_back({target, {stages[0], stages[1], stages[2], stages[3], stages[4],
                                           stages[5], stages[6], stages[7]}}); }

  struct Draw {
    IDirect3DSurface9* target;
    std::array<IDirect3DBaseTexture9*, 8> stages;
  };
  IDirect3DSurface9* target = nullptr;
  IDirect3DBaseTexture9* stages[8] = {};
  std::vector<Draw> draws;
};

void ExpectNoLevelReadWhileRendered(bool fewUnits) {
  static std::unique_ptr<DrawRecorder> recorder;
  GlowDevice glow(96, 72, [](IDirect3DDevice9* real) -> IDirect3DDevice9* {
    recorder = std::make_unique<DrawRecorder>(real);
    return recorder.get();
  });
  ASSERT_TRUE(glow.ok());
  D3DCAPS9 caps{};
  glow.device->GetDeviceCaps(&caps);
  caps.MaxSimultaneousTextures = fewUnits ? 2 : 8;
  D3D9SetCapsOverride(&caps);
  IDirect3DTexture9* picture = SolidTexture(glow.device, 4, 0xFFFFFFFF);
  {
    GlowScene scene(glow.device);
    scene.AddQuad(kDistance, kHalfX, kHalfY, kSelfIllum);
    scene.AddTexture(picture, 900);
    scene.AddSprite(scene.Ahead(8, 2, 0), 900, 1);
    scene.Prepare();
    ComOwner<IDirect3DSurface9> backBuffer;
    glow.device->GetRenderTarget(0, Out(backBuffer));
    recorder->target = backBuffer.get();
    std::map<IDirect3DSurface9*, int> levelOf;
    for (int i = 0; i < kGlowLevels; ++i) {
      ComOwner<IDirect3DSurface9> surface;
      GlowTarget(i)->GetSurfaceLevel(0, Out(surface));
      levelOf[surface.get()] = i;
    }
    // Two frames: the second starts with the first one's composite on the stages.
    for (int frame = 0; frame < 2; ++frame) {
      recorder->draws.clear();
      scene.Frame(kClear, true);
      std::map<int, int> drawsInto;
      int composite = 0;
      for (const auto& draw : recorder->draws) {
        auto level = levelOf.find(draw.target);
        if (level == levelOf.end()) {
          if (draw.target == backBuffer.get() &&
              (draw.stages[0] == GlowTarget(0) || draw.stages[0] == GlowTarget(2) ||
               draw.stages[0] == GlowTarget(4) || draw.stages[0] == GlowTarget(6)))
            ++composite;
          continue;
        }
        ++drawsInto[level->second];
        for (int s = 0; s < 8; ++s)
          EXPECT_NE(draw.stages[s], GlowTarget(level->second))
              << "frame " << frame << ": level " << level->second << " on stage " << s
              << " while rendered into";
        if (level->second > 0) {
          EXPECT_EQ(draw.stages[0], GlowTarget(level->second - 1));
        }
      }
      for (int i = 1; i < kGlowLevels; ++i) EXPECT_EQ(drawsInto[i], fewUnits ? 2 : 1) << i;
      EXPECT_EQ(drawsInto[0], 2);  // the quad and the sprite
      EXPECT_EQ(composite, fewUnits ? 4 : 2);
    }
  }
  glow.device->SetTexture(0, nullptr);
  picture->Release();
  D3D9SetCapsOverride(nullptr);
  ReleaseGlowTargets();
  recorder.reset();
}

TEST(GlowPipeline, NoLevelIsReadWhileItIsRenderedIntoWithFourTextures) {
  ExpectNoLevelReadWhileRendered(false);
}

TEST(GlowPipeline, NoLevelIsReadWhileItIsRenderedIntoWithTwoTextures) {
  ExpectNoLevelReadWhileRendered(true);
}

}  // namespace
