// Sprites: the "Size" control field, the draw order by unsigned texture id, and the
// sprite pass on a device: order of draws, the glow-pass rule, sprites without a
// picture, the size cap and the fall-off of the drawn size with distance.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/ForwardingDevice.h"
#include "GlowModel.h"
#include "GlowSceneSupport.h"
#include "support/ComOut.h"
#include "support/DeviceReferences.h"

namespace {

TEST(Sprite, SizeIsItsOnlyControlField) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  RecordedDevice device;
  SceneGraph graph(device.get());
  Sprite* sprite = graph.Create<Sprite>(4);
  EXPECT_EQ(sprite->GetControlField("Size"), &sprite->size);
  EXPECT_EQ(sprite->size, 0.0f);
  EXPECT_EQ(sprite->texture.id, -1);
  EXPECT_FALSE(sprite->skipInGlowPass);
  EXPECT_EXIT(sprite->GetControlField("size"), ::testing::ExitedWithCode(0),
              "Sprite: Invalid control field!");
}

TEST(Sprite, OrderedByTextureIdTakenUnsigned) {
  RecordedDevice device;
  SceneGraph graph(device.get());
  Sprite* none = graph.Create<Sprite>(1);
  Sprite* zero = graph.Create<Sprite>(2);
  Sprite* big = graph.Create<Sprite>(3);
  zero->texture.Set(0);
  big->texture.Set(0x7FFFFFFF);
  EXPECT_TRUE(Sprite::DrawsBefore(zero, big));
  EXPECT_TRUE(Sprite::DrawsBefore(big, none));  // -1 is the largest
  EXPECT_FALSE(Sprite::DrawsBefore(none, zero));
  EXPECT_FALSE(Sprite::DrawsBefore(zero, zero));
}

// Records the stage-0 texture of every point drawn.
class PointRecorder : public ForwardingDevice {
 public:
  using ForwardingDevice::ForwardingDevice;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
    if (stage == 0) stage0 = texture;
    return ForwardingDevice::SetTexture(stage, texture);
  }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data,
                          UINT stride) override {
    if (type == D3DPT_POINTLIST) points.push_back(stage0);
    return ForwardingDevice::DrawPrimitiveUP(type, count, data, stride);
  }
  IDirect3DBaseTexture9* stage0 = nullptr;
  std::vector<IDirect3DBaseTexture9*> points;
};

TEST(SpritePass, DrawsByTextureIdAndLeavesItsStates) {
  static std::unique_ptr<PointRecorder> recorder;
  GlowDevice glow(64, 64, [](IDirect3DDevice9* real) -> IDirect3DDevice9* {
    recorder = std::make_unique<PointRecorder>(real);
    return recorder.get();
  });
  ASSERT_TRUE(glow.ok());
  IDirect3DTexture9* one = SolidTexture(glow.device, 2, 0xFF00FF00);
  IDirect3DTexture9* three = SolidTexture(glow.device, 2, 0xFFFF0000);
  {
    GlowScene scene(glow.device);
    scene.AddTexture(one, 1001);
    scene.AddTexture(three, 1003);
    scene.AddSprite(scene.Ahead(10, -2), 1003, 1);
    scene.AddSprite(scene.Ahead(10, 0), 1001, 1);
    scene.AddSprite(scene.Ahead(10, 2), 1003, 1);
    scene.Prepare();
    scene.Frame(0xFF000000, false);
    const std::vector<IDirect3DBaseTexture9*> order = {one, three, three};
    EXPECT_EQ(recorder->points, order);
    IDirect3DDevice9* d = glow.device;
    auto state = [&](D3DRENDERSTATETYPE s) {
      DWORD v = 0;
      d->GetRenderState(s, &v);
      return v;
    };
    EXPECT_EQ(state(D3DRS_ZWRITEENABLE), 1u);
    EXPECT_EQ(state(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(state(D3DRS_POINTSPRITEENABLE), 0u);
    EXPECT_EQ(state(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(state(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(state(D3DRS_POINTSCALE_C), FloatBits(1.0f));
    EXPECT_EQ(state(D3DRS_POINTSIZE_MAX), FloatBits(1024.0f));
    DWORD fvf = 0;
    d->GetFVF(&fvf);
    EXPECT_EQ(fvf, static_cast<DWORD>(D3DFVF_XYZ));
  }
  glow.device->SetTexture(0, nullptr);
  one->Release();
  three->Release();
  ReleaseGlowTargets();
  recorder.reset();
}

// Brightness of the red channel at (x, y) of an image.
float Red(const GlowImage& image, int x, int y) { return image.at(x, y)[0]; }

TEST(SpritePass, AFlaggedSpriteIsMissingFromTheGlowPassOnly) {
  GlowDevice glow(128, 96);
  ASSERT_TRUE(glow.ok());
  ComOwner<IDirect3DTexture9> white(SolidTexture(glow.device, 2, 0xFFFFFFFF));
  {
    GlowScene scene(glow.device);
    scene.AddTexture(white.get(), 1000);
    scene.AddSprite(scene.Ahead(10, -4), 1000, 1, true);   // flagged, on the left
    scene.AddSprite(scene.Ahead(10, 4), 1000, 1, false);   // on the right
    scene.Prepare();
    scene.Frame(0xFF000000, false);
    IDirect3DSurface9* backBuffer = nullptr;
    glow.device->GetRenderTarget(0, &backBuffer);
    const GlowImage frame = ReadSurface(glow.device, backBuffer);
    backBuffer->Release();
    // In the frame both are drawn: x = 64 ± 4 / (10 * 1.333) * 64.
    EXPECT_GT(Red(frame, 45, 48), 0.9f);
    EXPECT_GT(Red(frame, 83, 48), 0.9f);
    scene.Frame(0xFF000000, true);
    const GlowImage source = ReadTextureLevel(glow.device, GlowTarget(0));
    // In the 512x512 glow source: x = 256 ± 4 / 13.33 * 256.
    EXPECT_LT(Red(source, 179, 256), 0.01f);
    EXPECT_GT(Red(source, 333, 256), 0.9f);
  }
  glow.device->SetTexture(0, nullptr);
}

// Width of the lit run through the middle row.
int LitWidth(IDirect3DDevice9* device) {
  IDirect3DSurface9* backBuffer = nullptr;
  device->GetRenderTarget(0, &backBuffer);
  const GlowImage frame = ReadSurface(device, backBuffer);
  backBuffer->Release();
  int lit = 0;
  for (int x = 0; x < frame.width; ++x) lit += Red(frame, x, frame.height / 2) > 0.5f;
  return lit;
}

TEST(SpritePass, DrawnSizeFallsOffWithDistanceAsPointScalingGives) {
  GlowDevice glow(256, 256);
  ASSERT_TRUE(glow.ok());
  ComOwner<IDirect3DTexture9> white(SolidTexture(glow.device, 2, 0xFFFFFFFF));
  for (float distance : {10.0f, 20.0f, 40.0f}) {
    GlowScene scene(glow.device);
    scene.AddTexture(white.get(), 1000);
    scene.AddSprite(scene.Ahead(distance), 1000, 4);
    scene.Prepare();
    scene.Frame(0xFF000000, false);
    // Viewport height × size × sqrt(1 / (0 + 0·d + 1·d²)).
    const float expected = 256.0f * 4.0f / distance;
    EXPECT_NEAR(LitWidth(glow.device), expected, 2.0) << "at distance " << distance;
  }
  glow.device->SetTexture(0, nullptr);
}

TEST(SpritePass, AnimatedSizeGrowsFromNothingUpToTheCap) {
  GlowDevice glow(1100, 1100, nullptr, false);
  ASSERT_TRUE(glow.ok());
  ComOwner<IDirect3DTexture9> white(SolidTexture(glow.device, 2, 0xFFFFFFFF));
  {
    GlowScene scene(glow.device);
    scene.AddTexture(white.get(), 1000);
    Sprite* sprite = scene.AddSprite(scene.Ahead(550), 1000, 0);
    scene.Prepare();
    float* size = sprite->GetControlField("Size");
    int previous = -1;
    // At distance 550 in an 1100-pixel viewport a size gives twice its width in pixels.
    for (float value : {0.0f, 50.0f, 200.0f, 500.0f, 800.0f}) {
      *size = value;
      scene.Frame(0xFF000000, false);
      const int width = LitWidth(glow.device);
      EXPECT_GT(width, previous) << value;
      EXPECT_NEAR(width, std::min(2 * value, 1024.0f), 2.0) << value;
      previous = width;
    }
  }
  glow.device->SetTexture(0, nullptr);
}

TEST(SpritePass, ASpriteWithoutAPictureIsNotDrawn) {
  GlowDevice glow(64, 64);
  ASSERT_TRUE(glow.ok());
  GlowScene scene(glow.device);
  scene.AddSprite(scene.Ahead(10), 77, 8);  // nothing has id 77
  scene.AddSprite(scene.Ahead(10), -1, 8);
  scene.Prepare();
  scene.Frame(0xFF000000, true);
  EXPECT_EQ(LitWidth(glow.device), 0);
}

}  // namespace
