// The image blitter on a headless device: the states it sets for colours and
// pictures and what it restores, read back through the device; sequence stepping;
// and the handling of pictures the device or the blitter cannot use. On the recording
// device: the draw it asks for, the texture it draws with and the pixels it uploads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "media/ImageBlitter.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"
#include "support/DeviceReferences.h"
#include "support/HResult.h"
#include "support/HeadlessDevice.h"
#include "support/RecordedResources.h"
#include "support/TempDir.h"

namespace {

std::string Data(const std::string& path) { return std::string(SHOW_SOURCE_DIR) + "/tests/data/" + path; }

class ImageBlitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    device = CreateHeadlessDevice(direct3d, 1024, 768, D3DFMT_D24X8);
    ASSERT_NE(device, nullptr);
  }
  void TearDown() override {
    EXPECT_TRUE(ReleaseToZero(device, "Device"));
    EXPECT_TRUE(ReleaseToZero(direct3d, "Direct3D object"));
  }

  DWORD RenderState(D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    device->GetRenderState(state, &value);
    return value;
  }
  DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 0xDEADBEEF;
    device->GetTextureStageState(stage, type, &value);
    return value;
  }
  D3DMATRIX Transform(D3DTRANSFORMSTATETYPE type) {
    D3DMATRIX m{};
    device->GetTransform(type, &m);
    return m;
  }
  // The colour of back-buffer pixel (x, y) as 0xRRGGBB.
  DWORD Pixel(int x, int y) {
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    device->CreateOffscreenPlainSurface(1024, 768, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                        nullptr);
    device->GetRenderTargetData(back, copy);
    D3DLOCKED_RECT locked{};
    copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    DWORD value;
    std::memcpy(&value, static_cast<BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    copy->UnlockRect();
    copy->Release();
    back->Release();
    return value & 0xFFFFFF;
  }
  // Clears to black and draws `image` alone.
  void Draw(ImageBlitter& image, float time = 0) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->BeginScene();
    image.draw(time);
    device->EndScene();
  }

  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
};

bool SameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

D3DMATRIX Scale(float s) {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = s;
  m._44 = 1;
  return m;
}

TEST_F(ImageBlitterTest, ColourSetsItsStatesAndRestoresTheSceneOnes) {
  ImageBlitter colour(device, "", 1024, 768, true, 0xFF336699);
  const D3DMATRIX projection = Scale(2), view = Scale(3);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->SetTransform(D3DTS_VIEW, &view);
  colour.additive = false;
  colour.alpha = 0.5f;
  colour.positionX = 10;
  colour.positionY = 20;
  Draw(colour);

  EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x80336699u);
  EXPECT_EQ(StageState(0, D3DTSS_COLOROP), DWORD{D3DTOP_SELECTARG1});
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_SELECTARG1});
  EXPECT_EQ(StageState(0, D3DTSS_COLORARG1), D3DTA_TFACTOR);
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
  EXPECT_EQ(StageState(1, D3DTSS_COLOROP), DWORD{D3DTOP_DISABLE});
  EXPECT_EQ(StageState(1, D3DTSS_ALPHAOP), DWORD{D3DTOP_DISABLE});
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
  EXPECT_EQ(RenderState(D3DRS_BLENDOP), DWORD{D3DBLENDOP_ADD});
  EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_SRCALPHA});
  EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_INVSRCALPHA});
  // Restored: depth, lighting, projection and view; the texture is taken off.
  EXPECT_EQ(RenderState(D3DRS_ZENABLE), DWORD{TRUE});
  EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), DWORD{TRUE});
  EXPECT_EQ(RenderState(D3DRS_LIGHTING), DWORD{TRUE});
  EXPECT_TRUE(SameMatrix(Transform(D3DTS_PROJECTION), projection));
  EXPECT_TRUE(SameMatrix(Transform(D3DTS_VIEW), view));
  IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
  device->GetTexture(0, &bound);
  EXPECT_EQ(bound, nullptr);
  DWORD fvf = 0;
  device->GetFVF(&fvf);
  EXPECT_EQ(fvf, 0x102u);
  // The world keeps the image's place: half a unit in, y counted from the bottom.
  const D3DMATRIX world = Transform(D3DTS_WORLD);
  EXPECT_EQ(world._41, 10.5f);
  EXPECT_EQ(world._42, 768.0f - 768.0f - 20.0f + 0.5f);
  EXPECT_EQ(world._43, 0.0f);
}

TEST_F(ImageBlitterTest, ColourBlendsOnlyWhenTranslucentOrAdditive) {
  ImageBlitter colour(device, "", 1024, 768, true, 0xFF00FF00);
  colour.additive = false;
  Draw(colour);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
  EXPECT_EQ(Pixel(1, 0), 0x00FF00u);
  EXPECT_EQ(Pixel(0, 0), 0u);  // the half-unit offset leaves column 0 uncovered

  colour.additive = true;
  colour.alpha = 0.5f;  // opacity does not dim an added colour
  Draw(colour);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
  EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_ONE});
  EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_ONE});
  EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x8000FF00u);
}

TEST_F(ImageBlitterTest, PictureStatesFollowItsFormatAndTheLayerOpacity) {
  ImageBlitter opaque(device, Data("images_picture/grid.png").c_str(), 1024, 768, false, 0xFFFFFFFF);
  ASSERT_TRUE(opaque.drawable());
  EXPECT_EQ(opaque.width(), 7u);
  EXPECT_EQ(opaque.height(), 5u);
  EXPECT_EQ(opaque.quad()[3].x, 7.0f);
  EXPECT_EQ(opaque.quad()[3].u, 1.0f);
  opaque.additive = false;
  Draw(opaque);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{FALSE});
  EXPECT_EQ(StageState(0, D3DTSS_COLORARG1), D3DTA_TEXTURE);
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_SELECTARG1});
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
  DWORD filter = 0;
  device->GetSamplerState(0, D3DSAMP_MAGFILTER, &filter);
  EXPECT_EQ(filter, DWORD{D3DTEXF_POINT});
  device->GetSamplerState(0, D3DSAMP_MINFILTER, &filter);
  EXPECT_EQ(filter, DWORD{D3DTEXF_POINT});

  opaque.alpha = 0.5f;
  Draw(opaque);
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), DWORD{D3DTOP_MODULATE});
  EXPECT_EQ(StageState(0, D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
  EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x7F000000u);

  // Pictures with alpha, and greyscale ones, always blend.
  for (const char* path : {"images_blend/alpha.png", "images_formats/grey.png"}) {
    ImageBlitter blended(device, Data(path).c_str(), 1024, 768, false, 0xFFFFFFFF);
    EXPECT_TRUE(blended.blendsAlpha()) << path;
    blended.additive = false;
    Draw(blended);
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), DWORD{TRUE}) << path;
  }
  ImageBlitter photo(device, Data("images_formats/photo.jpg").c_str(), 1024, 768, false, 0xFFFFFFFF);
  EXPECT_FALSE(photo.blendsAlpha());
}

TEST_F(ImageBlitterTest, PictureTheDeviceRefusesIsNeverDrawn) {
  // Palette pictures decode to P8, which this device does not take.
  ImageBlitter palette(device, Data("images_formats/palette.png").c_str(), 1024, 768, false,
                       0xFFFFFFFF);
  EXPECT_FALSE(palette.drawable());
  device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x12345678);
  palette.alpha = 0.5f;
  Draw(palette);
  EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x12345678u);
  EXPECT_EQ(Pixel(3, 3), 0u);
}

TEST_F(ImageBlitterTest, TextureFormatWithoutAPlaceEndsTheProcess) {
  // Grey with alpha decodes to A8L8: a texture the device makes but the blitter cannot use.
  EXPECT_EXIT(ImageBlitter(device, Data("images_formats/greyalpha.png").c_str(), 1024, 768, false,
                           0xFFFFFFFF),
              ::testing::ExitedWithCode(0), "Error: Unknown texture format");
}

class Sequence : public ImageBlitterTest {
 protected:
  // A sequence file of `text` in a temporary folder; picture names are test data paths.
  std::string Write(const std::string& text) { return dir.write("anim.SEQ", text); }
  std::string Red() { return Data("images_sequence/red.png"); }
  std::string Green() { return Data("images_sequence/green.png"); }
  std::string Blue() { return Data("images_sequence/blue.png"); }
  TempDir dir;
};

TEST_F(Sequence, StepsAtItsTimesWrapsAndAdvancesOnePictureADraw) {
  const std::string file =
      Write("0 " + Red() + "\n100 " + Green() + "\n110 " + Blue() + "\n");
  ImageBlitter seq(device, file.c_str(), 1024, 768, false, 0xFFFFFFFF);
  ASSERT_EQ(seq.frameCount(), 3u);
  EXPECT_FLOAT_EQ(seq.sequencePeriod(), 110.0f * 4 / 3);
  EXPECT_EQ(seq.frameIndex(), 0u);
  seq.additive = false;
  Draw(seq, 120);  // both later pictures are due; one step only
  EXPECT_EQ(seq.frameIndex(), 1u);
  EXPECT_EQ(Pixel(1, 0), 0x00FF00u);
  Draw(seq, 120);
  EXPECT_EQ(seq.frameIndex(), 2u);
  EXPECT_EQ(Pixel(1, 0), 0x0000FFu);
  Draw(seq, 146.0f + 10);  // wraps to 9.33: back to the first
  EXPECT_EQ(seq.frameIndex(), 0u);
  EXPECT_EQ(Pixel(1, 0), 0xFF0000u);
  Draw(seq, 1e9f);  // long after: folded without a long loop
  EXPECT_LT(seq.frameIndex(), 3u);
}

TEST_F(Sequence, TinyPeriodsDoNotHang) {
  const std::string file = Write("0 " + Red() + "\n0.001 " + Green() + "\n");
  ImageBlitter seq(device, file.c_str(), 1024, 768, false, 0xFFFFFFFF);
  EXPECT_GT(seq.sequencePeriod(), 0.0f);
  for (float t : {0.0f, 5000.0f, 1e7f, 3e38f}) Draw(seq, t);
  EXPECT_LT(seq.frameIndex(), 2u);
}

TEST_F(Sequence, WithoutAPositivePeriodItShowsItsFirstPicture) {
  for (const std::string& text : {"0 " + Red() + "\n", "0 " + Red() + "\n0 " + Green() + "\n",
                                 "fps = 0\n" + Red() + "\n" + Green() + "\n"}) {
    ImageBlitter seq(device, Write(text).c_str(), 1024, 768, false, 0xFFFFFFFF);
    seq.additive = false;
    for (float t : {0.0f, 100.0f, 1000.0f}) Draw(seq, t);
    EXPECT_EQ(seq.frameIndex(), 0u) << text;
    EXPECT_EQ(Pixel(1, 0), 0xFF0000u) << text;
  }
}

class RecordedBlitter : public ::testing::Test {
 protected:
  void SetUp() override { OsSetHeadless(true); }
  // One scene with `image` alone; the record holds that scene only.
  void Draw(ImageBlitter& image, float time = 0) {
    device->ClearRecord();
    device->BeginScene();
    image.draw(time);
    device->EndScene();
  }
  // The first texel of the texture the last draw used, as 0xRRGGBB.
  DWORD DrawnTexel() {
    if (device->draws.empty()) return 0xDEADBEEF;
    auto* texture = dynamic_cast<RecordedTexture*>(device->draws.back().textures[0]);
    if (!texture) return 0xDEADBEEF;
    DWORD texel;
    std::memcpy(&texel, texture->levels[0]->memory.bytes.data(), 4);
    return texel & 0xFFFFFF;
  }

  RecordedDevice device;
  TempDir dir;
};

TEST_F(RecordedBlitter, ColourDrawsOneUntexturedQuadWithoutDepthOrLighting) {
  ImageBlitter colour(device.get(), "", 1024, 768, true, 0xFF336699);
  colour.additive = false;
  Draw(colour);
  ASSERT_EQ(device->draws.size(), 1u);
  const RecordedDraw& draw = device->draws[0];
  EXPECT_EQ(draw.call, "DrawPrimitiveUP");
  EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
  EXPECT_EQ(draw.primitives, 2u);
  EXPECT_EQ(draw.state.fvf, DWORD{D3DFVF_XYZ | D3DFVF_TEX1});
  EXPECT_EQ(draw.textures[0], nullptr);
  EXPECT_EQ(draw.state.render[D3DRS_ZENABLE], DWORD{FALSE});
  EXPECT_EQ(draw.state.render[D3DRS_ZWRITEENABLE], DWORD{FALSE});
  EXPECT_EQ(draw.state.render[D3DRS_LIGHTING], DWORD{FALSE});
  EXPECT_EQ(draw.state.render[D3DRS_TEXTUREFACTOR], 0xFF336699u);
  EXPECT_EQ(draw.state.render[D3DRS_ALPHABLENDENABLE], DWORD{FALSE});
  ASSERT_EQ(draw.vertices.size(), sizeof(ImageBlitter::Vertex) * 4);
  EXPECT_EQ(std::memcmp(draw.vertices.data(), colour.quad(), draw.vertices.size()), 0);
  EXPECT_EQ(device->state.render[D3DRS_ZENABLE], DWORD{TRUE});  // given back
  EXPECT_EQ(device->state.render[D3DRS_LIGHTING], DWORD{TRUE});
}

TEST_F(RecordedBlitter, PictureDrawsWithItsOwnTextureAndTakesItOffAfter) {
  ImageBlitter picture(device.get(), Data("images_sequence/red.png").c_str(), 1024, 768, false,
                       0xFFFFFFFF);
  ASSERT_TRUE(picture.drawable());
  Draw(picture);
  ASSERT_EQ(device->draws.size(), 1u);
  auto* texture = dynamic_cast<RecordedTexture*>(device->draws[0].textures[0]);
  ASSERT_NE(texture, nullptr);
  D3DSURFACE_DESC desc{};
  ASSERT_HR(texture->GetLevelDesc(0, &desc));
  EXPECT_EQ(desc.Usage, D3DUSAGE_DYNAMIC);
  EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
  EXPECT_EQ(desc.Width, picture.width());
  EXPECT_EQ(DrawnTexel(), 0xFF0000u);
  EXPECT_EQ(device->texture(0), nullptr);
}

TEST_F(RecordedBlitter, SequenceUploadsEachPictureIntoTheOneTexture) {
  const std::string file = dir.write("anim.SEQ", "0 " + Data("images_sequence/red.png") + "\n100 " +
                                                     Data("images_sequence/green.png") + "\n");
  ImageBlitter seq(device.get(), file.c_str(), 1024, 768, false, 0xFFFFFFFF);
  const std::size_t made = device->Count("CreateTexture");
  Draw(seq, 0);
  EXPECT_EQ(DrawnTexel(), 0xFF0000u);
  IDirect3DBaseTexture9* first = device->draws.at(0).textures[0];
  Draw(seq, 120);
  EXPECT_EQ(DrawnTexel(), 0x00FF00u);
  EXPECT_EQ(device->draws.at(0).textures[0], first);
  EXPECT_EQ(device->Count("CreateTexture"), 0u);
  EXPECT_EQ(made, 1u);
}

TEST_F(RecordedBlitter, PictureTheDeviceRefusesAsksForNoDraw) {
  ImageBlitter palette(device.get(), Data("images_formats/palette.png").c_str(), 1024, 768, false,
                       0xFFFFFFFF);
  ASSERT_EQ(device->refusals.size(), 1u);  // the P8 texture
  Draw(palette);
  EXPECT_TRUE(device->draws.empty());
  EXPECT_TRUE(device->refusals.empty());
}

}  // namespace
