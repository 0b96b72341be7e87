#include "media/ImageBlitter.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "media/FrameUpload.h"
#include "media/PictureFile.h"
#include "media/SequenceFile.h"
#include "media/SequencePictures.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"

namespace {

// (x, y, z, u, v) of the unit quad, in triangle-strip order.
constexpr ImageBlitter::Vertex kQuadTemplate[4] = {
    {0, 0, 1, 0, 1}, {0, 1, 1, 0, 0}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, 0}};

constexpr float kOpaque = 0.999f;
constexpr float kByteToUnit = 1.0f / 255.0f;

// The script time folded into one pass of the sequence. Repeated subtraction, as
// long as that stays short; fmod beyond. A period that is not a positive finite
// number cannot be folded: the sequence then stands still.
constexpr float kMaxPassesBySubtraction = 65536.0f;
float FoldIntoPass(float t, float period) {
  if (t >= period * kMaxPassesBySubtraction) return std::fmod(t, period);
  while (t >= period) t -= period;
  return t;
}

}  // namespace

ImageBlitter::ImageBlitter(IDirect3DDevice9* device, const char* fileName,
                           std::uint32_t screenWidth, std::uint32_t screenHeight, bool isColor,
                           std::uint32_t color)
    : isColor(isColor),
      color(color),
      device(device),
      screenHeight(screenHeight),
      screenWidth(screenWidth) {
  if (isColor) {
    imageWidth = screenWidth;
    imageHeight = screenHeight;
  } else {
    const std::string name = fileName ? fileName : "";
    if (IsSequenceFileName(name))
      loadSequence(name);
    else
      loadPicture(name);
    if (texture)
      checkTexture(name);
    else
      std::fprintf(stderr, "Image '%s': the device takes no texture of format %u; not drawn\n",
                   name.c_str(), static_cast<unsigned>(pixelFormat));
  }
  computeVertices();
}

ImageBlitter::~ImageBlitter() = default;

void ImageBlitter::loadPicture(const std::string& fileName) {
  PictureSurface picture = LoadPictureSurface(device, fileName);
  imageWidth = picture.width;
  imageHeight = picture.height;
  surfaceWidth = picture.surfaceWidth;
  surfaceHeight = picture.surfaceHeight;
  pixelFormat = picture.format;
  if (!picture.surface) return;
  createTexture();
  if (texture) UploadFrame(picture.surface.get(), texture.get());
}

void ImageBlitter::loadSequence(const std::string& fileName) {
  const WholeFile bytes = ReadImageFile(fileName);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data.get()),
                              static_cast<std::size_t>(bytes.size));
  SequencePictures pictures(device, fileName);
  for (const SequenceEntry& entry : ParseSequenceFile(text)) {
    PictureSurface picture = pictures.take(entry.fileName);
    imageWidth = picture.width;
    imageHeight = picture.height;
    surfaceWidth = picture.surfaceWidth;
    surfaceHeight = picture.surfaceHeight;
    pixelFormat = picture.format;
    frames.push_back({entry.time, std::move(picture.surface)});
  }
  // A sequence that names no picture has nothing to show: as unreadable as a bad picture.
  if (frames.empty()) ImageLoadFailed(fileName);
  const float n = static_cast<float>(frames.size());
  period = frames.back().time * (n + 1.0f) / n;
  createTexture();
  currentFrame = 0;
  if (texture && frames[0].surface) UploadFrame(frames[0].surface.get(), texture.get());
}

void ImageBlitter::createTexture() {
  IDirect3DTexture9* created = nullptr;
  if (SUCCEEDED(device->CreateTexture(surfaceWidth, surfaceHeight, 1, D3DUSAGE_DYNAMIC,
                                      pixelFormat, D3DPOOL_DEFAULT, &created, nullptr)))
    texture.reset(created);
}

void ImageBlitter::checkTexture(const std::string& name) {
  D3DSURFACE_DESC desc{};
  if (FAILED(texture->GetLevelDesc(0, &desc))) {
    texture.reset();
    return;
  }
  textureWidth = desc.Width;
  textureHeight = desc.Height;
  switch (desc.Format) {
    case D3DFMT_A8R8G8B8: hasAlpha = true; break;
    case D3DFMT_X8R8G8B8: hasAlpha = false; break;
    case D3DFMT_L8: hasAlpha = true; break;
    default:
      std::fprintf(stderr, "Image '%s': texture format %u is none of A8R8G8B8, X8R8G8B8, L8\n",
                   name.c_str(), static_cast<unsigned>(desc.Format));
      OsFatal("Error", "Unknown texture format", 0);
  }
}

void ImageBlitter::computeVertices() {
  for (int i = 0; i < 4; ++i) {
    const Vertex& t = kQuadTemplate[i];
    Vertex& v = vertices[i];
    v.z = t.z;
    if (isColor) {
      v.x = t.x * static_cast<float>(screenWidth);
      v.y = t.y * static_cast<float>(screenHeight);
      v.u = t.u;
      v.v = t.v;
    } else {
      // A picture scaled to the device's limit still covers its own size on screen.
      const float w = static_cast<float>(surfaceWidth), h = static_cast<float>(surfaceHeight);
      v.x = t.x * static_cast<float>(imageWidth);
      v.y = t.y * static_cast<float>(imageHeight);
      v.u = t.u * static_cast<float>(textureWidth) / w;
      v.v = t.v * static_cast<float>(textureHeight) / h;
    }
  }
}

void ImageBlitter::stepSequence(float time) {
  if (!(period > 0.0f) || !std::isfinite(period)) return;
  const float t = FoldIntoPass(time, period);
  const std::uint32_t i = currentFrame;
  const std::uint32_t j = i + 1 < frames.size() ? i + 1 : 0;
  if (j == i) return;
  const float ti = frames[i].time, tj = frames[j].time;
  // t <= ti catches the wrap from the last frame back to the first.
  if (t >= tj && (t <= ti || tj >= ti)) {
    if (texture && frames[j].surface) UploadFrame(frames[j].surface.get(), texture.get());
    currentFrame = j;
  }
}

void ImageBlitter::step(float time) {
  if (!frames.empty()) stepSequence(time);
}

void ImageBlitter::draw(float time) {
  if (!frames.empty()) stepSequence(time);
  if (!drawable()) return;
  drawQuad(isColor ? setColorStates() : setPictureStates());
}

bool ImageBlitter::setColorStates() {
  const float a = static_cast<float>(color >> 24 & 0xFF) * kByteToUnit * alpha;
  const float r = static_cast<float>(color >> 16 & 0xFF) * kByteToUnit;
  const float g = static_cast<float>(color >> 8 & 0xFF) * kByteToUnit;
  const float b = static_cast<float>(color & 0xFF) * kByteToUnit;
  // A broken opacity (NaN) packs as 0 and hides the image.
  device->SetRenderState(D3DRS_TEXTUREFACTOR, static_cast<DWORD>(D3DXCOLOR(r, g, b, a)));
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
  device->SetTexture(0, nullptr);
  return additive || a < kOpaque;
}

bool ImageBlitter::setPictureStates() {
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  const bool translucent = alpha < kOpaque;
  if (translucent) {
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    const DWORD level = alpha > 0.0f ? static_cast<DWORD>(alpha * 255.0f) : 0;
    device->SetRenderState(D3DRS_TEXTUREFACTOR, level << 24);
  } else {
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  }
  return hasAlpha || additive || translucent;
}

void ImageBlitter::drawQuad(bool blend) {
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend ? TRUE : FALSE);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
  device->SetRenderState(D3DRS_SRCBLEND, additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);

  D3DMATRIX savedProjection{}, savedView{};
  device->GetTransform(D3DTS_PROJECTION, &savedProjection);
  device->GetTransform(D3DTS_VIEW, &savedView);
  D3DXMATRIX projection, view, world;
  D3DXMatrixOrthoOffCenterLH(&projection, 0.0f, static_cast<float>(screenWidth), 0.0f,
                             static_cast<float>(screenHeight), 0.0f, 1.0f);
  D3DXMatrixIdentity(&view);
  // Half a unit keeps texel centres on pixel centres.
  D3DXMatrixTranslation(&world, positionX + 0.5f,
                        static_cast<float>(screenHeight) - static_cast<float>(imageHeight) -
                            positionY + 0.5f,
                        0.0f);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_WORLD, &world);

  device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
  device->SetRenderState(D3DRS_ZENABLE, FALSE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, sizeof(Vertex));

  device->SetRenderState(D3DRS_ZENABLE, TRUE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetTransform(D3DTS_PROJECTION, &savedProjection);
  device->SetTransform(D3DTS_VIEW, &savedView);
  device->SetTexture(0, nullptr);
}
