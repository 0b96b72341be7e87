// Resources: vertex and index buffers with locks and the three draw calls, texture
// formats, levels and locks, samplers, surfaces, and the range checks that keep a bad
// draw from reading outside a buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "d3d9/D3D9TestDevice.h"
#include "support/ComOut.h"
#include "support/HResult.h"

namespace {

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(device.ok());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  }
  IDirect3DVertexBuffer9* Buffer(const std::vector<PosColor>& vertices, D3DPOOL pool) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT bytes = static_cast<UINT>(vertices.size() * sizeof(PosColor));
    EXPECT_HR(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                         pool, &buffer, nullptr));
    void* data = nullptr;
    EXPECT_HR(buffer->Lock(0, 0, &data, 0));
    std::memcpy(data, vertices.data(), bytes);
    EXPECT_HR(buffer->Unlock());
    return buffer;
  }
  TestDevice device{16, 16};
};

// Two quads: left half red (vertices 0..3), right half green (4..7), as strips.
const std::vector<PosColor> kHalves = {
    {-1, 1, 0.5f, 0xFFFF0000}, {0, 1, 0.5f, 0xFFFF0000}, {-1, -1, 0.5f, 0xFFFF0000},
    {0, -1, 0.5f, 0xFFFF0000}, {0, 1, 0.5f, 0xFF00FF00}, {1, 1, 0.5f, 0xFF00FF00},
    {0, -1, 0.5f, 0xFF00FF00}, {1, -1, 0.5f, 0xFF00FF00}};

}  // namespace

TEST_F(Resources, DrawPrimitiveFromManagedAndDefaultBuffers) {
  for (D3DPOOL pool : {D3DPOOL_MANAGED, D3DPOOL_DEFAULT}) {
    SCOPED_TRACE(testing::Message() << "pool " << pool);
    IDirect3DVertexBuffer9* buffer = Buffer(kHalves, pool);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetStreamSource(0, buffer, 0, sizeof(PosColor));
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_HR(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2));  // right half only
    EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0x00ff00, 0));
    EXPECT_TRUE(ColorNear(device.Pixel(4, 8), 0x000000, 0));
    // A partial lock updates only what it covers.
    void* data = nullptr;
    ASSERT_HR(buffer->Lock(4 * sizeof(PosColor), 4 * sizeof(PosColor), &data, 0));
    for (int i = 0; i < 4; ++i) static_cast<PosColor*>(data)[i].color = 0xFF0000FF;
    buffer->Unlock();
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2);
    EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0x0000ff, 0));
    EXPECT_TRUE(ColorNear(device.Pixel(4, 8), 0xff0000, 0));
    D3DVERTEXBUFFER_DESC desc{};
    buffer->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 8 * sizeof(PosColor));
    EXPECT_EQ(desc.Pool, pool);
    EXPECT_EQ(desc.FVF, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_DIFFUSE));
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
  }
}

TEST_F(Resources, DrawIndexedPrimitiveWithBaseVertexAndStartIndex) {
  IDirect3DVertexBuffer9* buffer = Buffer(kHalves, D3DPOOL_MANAGED);
  ComOwner<IDirect3DIndexBuffer9> indices;
  ASSERT_HR(device->CreateIndexBuffer(12 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                      Out(indices), nullptr));
  const WORD list[12] = {9, 9, 9, 9, 9, 9, 0, 1, 2, 1, 3, 2};  // first six unused
  void* data = nullptr;
  indices->Lock(0, 0, &data, 0);
  std::memcpy(data, list, sizeof list);
  indices->Unlock();
  device->SetStreamSource(0, buffer, 0, sizeof(PosColor));
  device->SetIndices(indices.get());
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  // Base vertex 4 moves the same indices onto the green half.
  ASSERT_HR(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 6, 2));
  EXPECT_TRUE(ColorNear(device.Pixel(12, 8), 0x00ff00, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(4, 8), 0x000000, 0));
  ASSERT_HR(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 4, 7, 2));  // 1,2,1,3
  EXPECT_TRUE(ColorNear(device.Pixel(4, 8), 0xff0000, 0));
  // Index 9 with base 0 would read past the 8 vertices; past the index buffer too.
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 9, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 4, 6, 2));
  D3DINDEXBUFFER_DESC desc{};
  indices->GetDesc(&desc);
  EXPECT_EQ(desc.Format, D3DFMT_INDEX16);
  device->SetIndices(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  buffer->Release();
}

// The base vertex is folded into where vertices are read from; one that reaches before
// the stream's start (with the stream offset) takes the other way and must still draw.
TEST_F(Resources, NegativeBaseVertexWithAndWithoutAStreamOffset) {
  IDirect3DVertexBuffer9* buffer = Buffer(kHalves, D3DPOOL_MANAGED);
  ComOwner<IDirect3DIndexBuffer9> indices;
  ASSERT_HR(device->CreateIndexBuffer(6 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                      Out(indices), nullptr));
  const WORD list[6] = {4, 5, 6, 5, 7, 6};  // the green half's vertices
  void* data = nullptr;
  indices->Lock(0, 0, &data, 0);
  std::memcpy(data, list, sizeof list);
  indices->Unlock();
  device->SetIndices(indices.get());
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  for (UINT offsetVertices : {0u, 4u}) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // Base -4 with no offset reaches before the buffer; with 4 vertices of offset it
    // lands on the first vertex. Either way indices 4.. read vertices 0.. of the stream.
    device->SetStreamSource(0, buffer, offsetVertices * sizeof(PosColor), sizeof(PosColor));
    const UINT onGreen = offsetVertices == 4;
    ASSERT_HR(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -4, 4, 4, 0, 2)) << offsetVertices;
    EXPECT_TRUE(ColorNear(device.Pixel(onGreen ? 12 : 4, 8), onGreen ? 0x00ff00 : 0xff0000, 0))
        << offsetVertices;
    EXPECT_TRUE(ColorNear(device.Pixel(onGreen ? 4 : 12, 8), 0x000000, 0)) << offsetVertices;
  }
  device->SetIndices(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  buffer->Release();
}

TEST_F(Resources, PointListsFromBuffers) {
  std::vector<PosColor> points = {{-0.5f, 0.5f, 0.5f, 0xFFFF0000}, {0.5f, -0.5f, 0.5f, 0xFF00FF00}};
  IDirect3DVertexBuffer9* buffer = Buffer(points, D3DPOOL_DEFAULT);
  device->SetStreamSource(0, buffer, 0, sizeof(PosColor));
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  device->SetRenderState(D3DRS_POINTSIZE, FloatDword(3));
  ASSERT_HR(device->DrawPrimitive(D3DPT_POINTLIST, 0, 2));
  EXPECT_TRUE(ColorNear(device.Pixel(4, 4), 0xff0000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(5, 5), 0xff0000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(6, 6), 0x000000, 0));
  EXPECT_TRUE(ColorNear(device.Pixel(12, 12), 0x00ff00, 0));
  device->SetStreamSource(0, nullptr, 0, 0);
  buffer->Release();
}

TEST_F(Resources, DrawsThatWouldReadOutsideTheirDataAreRefused) {
  IDirect3DVertexBuffer9* buffer = Buffer(kHalves, D3DPOOL_MANAGED);
  device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));  // no stream
  device->SetStreamSource(0, buffer, 0, sizeof(PosColor));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 5, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1));
  device->SetStreamSource(0, buffer, 0, 8);  // stride smaller than the vertex
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 16));
  const WORD bad[3] = {0, 1, 7};
  PosColor three[3] = {kHalves[0], kHalves[1], kHalves[2]};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, bad, D3DFMT_INDEX16,
                                              three, sizeof(PosColor)));
  void* data = nullptr;
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, buffer->Lock(0, 9 * sizeof(PosColor), &data, 0));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, buffer->Unlock());
  device->SetStreamSource(0, nullptr, 0, 0);
  buffer->Release();
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetFVF(D3DFVF_XYZB1));
  IDirect3DIndexBuffer9* wide = nullptr;
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->CreateIndexBuffer(12, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &wide, nullptr));
  EXPECT_EQ(wide, nullptr);
}

// Every object the layer hands out answers a null out pointer with E_POINTER, and a
// resource the device still binds refuses a release beyond its last.
TEST_F(Resources, EveryObjectRefusesANullQueryAndAnOverRelease) {
  IDirect3DVertexBuffer9* buffer = Buffer(kHalves, D3DPOOL_MANAGED);
  IDirect3DIndexBuffer9* indices = nullptr;
  ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
            D3D_OK);
  IDirect3DTexture9* texture = MakeTexture(device.device, 2, 2, {1, 2, 3, 4});
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  IUnknown* objects[] = {device.d3d, device.device, buffer, indices, texture, level};
  for (IUnknown* object : objects)
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  void* wrong = buffer;
  EXPECT_EQ(buffer->QueryInterface(IID_IDirect3DIndexBuffer9, &wrong), E_NOINTERFACE);
  EXPECT_EQ(wrong, nullptr);
  level->Release();
  texture->Release();
  indices->Release();

  ASSERT_EQ(device->SetStreamSource(0, buffer, 0, sizeof(PosColor)), D3D_OK);
  EXPECT_EQ(buffer->Release(), 0u);
  EXPECT_EQ(buffer->Release(), 0u);  // still alive on the stream: the count stays at zero
  EXPECT_EQ(buffer->AddRef(), 1u);
  EXPECT_EQ(buffer->Release(), 0u);
  device->SetStreamSource(0, nullptr, 0, 0);
}

TEST_F(Resources, DrawPrimitiveUpLeavesStreamZeroUnset) {
  IDirect3DVertexBuffer9* buffer = Buffer(kHalves, D3DPOOL_MANAGED);
  device->SetStreamSource(0, buffer, 0, sizeof(PosColor));
  DrawFullScreenColor(device.device, 0xFFFFFFFF);
  IDirect3DVertexBuffer9* bound = buffer;
  UINT offset = 1, stride = 1;
  device->GetStreamSource(0, &bound, &offset, &stride);
  EXPECT_EQ(bound, nullptr);
  EXPECT_EQ(stride, 0u);
  buffer->Release();
}

TEST_F(Resources, TextureFormatsSampleAsDirect3DDefinesThem) {
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  struct {
    D3DFORMAT format;
    DWORD texel;     // as MakeTexture takes it: ARGB, or L in the low byte, A in the top
    DWORD expected;  // colour and alpha as sampled
  } cases[] = {
      {D3DFMT_A8R8G8B8, 0x80402010, 0x80402010},
      {D3DFMT_X8R8G8B8, 0x00402010, 0xFF402010},  // the unused byte reads as alpha 1
      {D3DFMT_L8, 0x00000060, 0xFF606060},
      {D3DFMT_A8L8, 0x30000090, 0x30909090},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "format " << c.format);
    IDirect3DTexture9* texture = MakeTexture(device.device, 2, 2, {c.texel, c.texel, c.texel, c.texel},
                                             c.format);
    ASSERT_NE(texture, nullptr);
    device->SetTexture(0, texture);
    DrawTexQuad(device.device, -1, -1, 1, 1);
    EXPECT_TRUE(ColorNear(device.Pixel(8, 8), c.expected, 0, false));
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, c.format);
    device->SetTexture(0, nullptr);
    texture->Release();
  }
  IDirect3DTexture9* texture = nullptr;
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_L8,
                                                         D3DPOOL_DEFAULT, &texture, nullptr));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8,
                                                         D3DPOOL_MANAGED, &texture, nullptr));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->CreateTexture(4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                     nullptr));  // a 4×4 chain has 3 levels
}

TEST_F(Resources, FullMipChainLevelsLocksAndSurfaces) {
  ComOwner<IDirect3DTexture9> texture;
  ASSERT_HR(
      device->CreateTexture(8, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, Out(texture), nullptr));
  ASSERT_EQ(texture->GetLevelCount(), 4u);  // 8×2, 4×1, 2×1, 1×1
  D3DSURFACE_DESC desc{};
  texture->GetLevelDesc(3, &desc);
  EXPECT_EQ(desc.Width, 1u);
  EXPECT_EQ(desc.Height, 1u);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, texture->GetLevelDesc(4, &desc));
  // Fill each level with its own colour through the level surfaces.
  const DWORD colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  for (UINT level = 0; level < 4; ++level) {
    ComOwner<IDirect3DSurface9> surface;
    ASSERT_HR(texture->GetSurfaceLevel(level, Out(surface)));
    surface->GetDesc(&desc);
    D3DLOCKED_RECT locked{};
    ASSERT_HR(surface->LockRect(&locked, nullptr, 0));
    EXPECT_HR_EQ(D3DERR_INVALIDCALL, texture->LockRect(level, &locked, nullptr, 0));  // already
    for (UINT y = 0; y < desc.Height; ++y)
      for (UINT x = 0; x < desc.Width; ++x)
        reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
            colours[level];
    surface->UnlockRect();
    ComOwner<IDirect3DTexture9> container;
    ASSERT_HR(surface->GetContainer(
        IID_IDirect3DTexture9,
        reinterpret_cast<void**>(static_cast<IDirect3DTexture9**>(Out(container)))));
    EXPECT_EQ(container.get(), texture.get());
  }
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  // An 8×2 texture on 16×16 pixels is magnified: level 0.
  DrawTexQuad(device.device, -1, -1, 1, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xff0000, 0));
  // Shrunk to 2 pixels wide (a 4:1 reduction): level 2.
  DrawTexQuad(device.device, -1, -1, -0.75f, -0.75f);
  EXPECT_TRUE(ColorNear(device.Pixel(0, 15), 0x0000ff, 0));
  // MAXMIPLEVEL 3: nothing larger than level 3.
  device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 3);
  DrawTexQuad(device.device, -1, -1, 1, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xffffff, 0));
  device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
  // A level-of-detail bias of +1 moves the magnified draw down to level 1.
  device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, FloatDword(1.0f));
  DrawTexQuad(device.device, -1, -1, -0.5f, -0.5f);  // 4 pixels for 8 texels: LOD 1, +1 = 2
  EXPECT_TRUE(ColorNear(device.Pixel(1, 14), 0x0000ff, 0));
  // Without a mip filter only level 0 is read.
  device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, FloatDword(0.0f));
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
  DrawTexQuad(device.device, -1, -1, -0.75f, -0.75f);
  EXPECT_TRUE(ColorNear(device.Pixel(0, 15), 0xff0000, 0));
  device->SetTexture(0, nullptr);
}

TEST_F(Resources, AddressingAndFiltering) {
  // 2×1: left black, right white.
  ComOwner<IDirect3DTexture9> texture(MakeTexture(device.device, 2, 1, {0xFF000000, 0xFFFFFFFF}));
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  // u 0..2 across the screen: wrap repeats, clamp holds the last texel.
  DrawTexQuad(device.device, -1, -1, 1, 1, 0, 0, 2, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(9, 8), 0x000000, 0));  // u = 1.19 wraps to 0.19
  device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  DrawTexQuad(device.device, -1, -1, 1, 1, 0, 0, 2, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(9, 8), 0xffffff, 0));
  // Linear filtering halfway between the texel centres gives grey.
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  DrawTexQuad(device.device, -1, -1, 1, 1, 0.5f, 0, 0.5f, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x808080, 1));
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  DrawTexQuad(device.device, -1, -1, 1, 1, 0.4f, 0, 0.4f, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x000000, 0));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRRORONCE));
  device->SetTexture(0, nullptr);
}

TEST_F(Resources, DynamicTextureRelockedEachFrame) {
  ComOwner<IDirect3DTexture9> texture;
  ASSERT_HR(device->CreateTexture(4, 4, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                  Out(texture), nullptr));
  device->SetTexture(0, texture.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  for (DWORD colour : {0xFF102030u, 0xFF405060u}) {
    D3DLOCKED_RECT locked{};
    ASSERT_HR(texture->LockRect(0, &locked, nullptr, 0));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = colour;
    texture->UnlockRect(0);
    DrawTexQuad(device.device, -1, -1, 1, 1);
    EXPECT_TRUE(ColorNear(device.Pixel(8, 8), colour, 0));
  }
  // A rectangle lock points into the level.
  D3DLOCKED_RECT locked{};
  RECT rect{1, 2, 3, 4};
  ASSERT_HR(texture->LockRect(0, &locked, &rect, D3DLOCK_READONLY));
  EXPECT_EQ(*static_cast<DWORD*>(locked.pBits) & 0xFFFFFF, 0x405060u);
  texture->UnlockRect(0);
  RECT outside{2, 2, 5, 3};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &locked, &outside, 0));
  device->SetTexture(0, nullptr);
}

TEST_F(Resources, UpdateTextureAndUpdateSurfaceCopyFromSystemMemory) {
  ComOwner<IDirect3DTexture9> source;
  ComOwner<IDirect3DTexture9> destination;
  ASSERT_HR(
      device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, Out(source), nullptr));
  ASSERT_HR(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, Out(destination),
                                  nullptr));
  D3DLOCKED_RECT locked{};
  source->LockRect(0, &locked, nullptr, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFF3366CC;
  source->UnlockRect(0);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->SetTexture(0, source.get()));
  ASSERT_HR(device->UpdateTexture(source.get(), destination.get()));
  device->SetTexture(0, destination.get());
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawTexQuad(device.device, -1, -1, 1, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x3366cc, 0));

  ComOwner<IDirect3DSurface9> plain;
  device->CreateOffscreenPlainSurface(2, 2, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, Out(plain),
                                      nullptr);
  plain->LockRect(&locked, nullptr, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFFCC6633;
  plain->UnlockRect();
  ComOwner<IDirect3DSurface9> level;
  destination->GetSurfaceLevel(0, Out(level));
  ASSERT_HR(device->UpdateSurface(plain.get(), nullptr, level.get(), nullptr));
  DrawTexQuad(device.device, -1, -1, 1, 1);
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0xcc6633, 0));
  IDirect3DSurface9* managed = nullptr;
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->CreateOffscreenPlainSurface(
                                       2, 2, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr));
  device->SetTexture(0, nullptr);
}

TEST_F(Resources, TheMeshFormatLitWithTwoStagesFromBuffers) {
  // FVF 0x212: position, normal, two coordinate sets, as every scene mesh has it.
  struct MeshVertex {
    float x, y, z, nx, ny, nz, u0, v0, u1, v1;
  };
  const MeshVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0.25f, 0.5f, 0.75f, 0.5f},
                              {1, 1, 0.5f, 0, 0, -1, 0.25f, 0.5f, 0.75f, 0.5f},
                              {-1, -1, 0.5f, 0, 0, -1, 0.25f, 0.5f, 0.75f, 0.5f},
                              {1, -1, 0.5f, 0, 0, -1, 0.25f, 0.5f, 0.75f, 0.5f}};
  ComOwner<IDirect3DVertexBuffer9> buffer;
  ASSERT_HR(device->CreateVertexBuffer(sizeof quad, D3DUSAGE_WRITEONLY, 0x212, D3DPOOL_MANAGED,
                                       Out(buffer), nullptr));
  void* data = nullptr;
  buffer->Lock(0, 0, &data, 0);
  std::memcpy(data, quad, sizeof quad);
  buffer->Unlock();
  ComOwner<IDirect3DIndexBuffer9> indices;
  device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, Out(indices),
                            nullptr);
  const WORD list[6] = {0, 1, 2, 1, 3, 2};
  indices->Lock(0, 0, &data, 0);
  std::memcpy(data, list, sizeof list);
  indices->Unlock();
  // Set 0 reads the left texel of the first texture, set 1 the right one of the second.
  ComOwner<IDirect3DTexture9> first(MakeTexture(device.device, 2, 1, {0xFFCC6633, 0xFF000000}));
  ComOwner<IDirect3DTexture9> second(MakeTexture(device.device, 2, 1, {0xFF000000, 0xFF1A334D}));
  device->SetTexture(0, first.get());
  device->SetTexture(1, second.get());
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DLIGHT9 light{};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {0.5f, 0.5f, 0.5f, 1};
  light.Direction = {0, 0, 1};
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  D3DMATERIAL9 material{};
  material.Diffuse = {1, 1, 1, 1};
  device->SetMaterial(&material);
  ASSERT_HR(device->SetVertexShader(nullptr));
  ASSERT_HR(device->SetFVF(0x212));
  device->SetStreamSource(0, buffer.get(), 0, sizeof(MeshVertex));
  device->SetIndices(indices.get());
  ASSERT_HR(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2));
  // Lit diffuse 0.5; (0.8, 0.4, 0.2)·0.5 + (0.102, 0.2, 0.302) = (0.502, 0.4, 0.402).
  EXPECT_TRUE(ColorNear(device.Pixel(8, 8), 0x806666, 1));
  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
}
