// The recording device the show code's tests use, held against the platform's device:
// the same defaults and the same reference counts for the same calls, and the
// refusals of what Direct3D 9 forbids, which the platform's device may let pass.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "d3d9/D3D9TestDevice.h"
#include "platform/os/ComOwner.h"
#include "support/DeviceReferences.h"
#include "support/HResult.h"
#include "support/RecordedResources.h"
#include "support/RecordingDevice.h"

namespace {

TEST(RecordingDevice, StartsWithThePlatformDevicesDefaults) {
  TestDevice real(64, 64, D3DFMT_D24S8);
  ASSERT_TRUE(real.ok());
  auto* recording = new RecordingDevice(64, 64, D3DFMT_D24S8);
  for (DWORD s = 0; s < kRenderStateCount; ++s) {
    DWORD a = 1, b = 2;
    if (FAILED(real->GetRenderState(static_cast<D3DRENDERSTATETYPE>(s), &a))) continue;
    ASSERT_HR(recording->GetRenderState(static_cast<D3DRENDERSTATETYPE>(s), &b));
    EXPECT_EQ(a, b) << "render state " << s;
  }
  for (DWORD stage = 0; stage < kStageCount; ++stage) {
    for (DWORD t = 0; t < kStageStateCount; ++t) {
      DWORD a = 1, b = 2;
      real->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(t), &a);
      recording->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(t), &b);
      EXPECT_EQ(a, b) << "stage " << stage << " state " << t;
    }
    for (DWORD t = 0; t < kSamplerStateCount; ++t) {
      DWORD a = 1, b = 2;
      real->GetSamplerState(stage, static_cast<D3DSAMPLERSTATETYPE>(t), &a);
      recording->GetSamplerState(stage, static_cast<D3DSAMPLERSTATETYPE>(t), &b);
      EXPECT_EQ(a, b) << "sampler " << stage << " state " << t;
    }
  }
  D3DVIEWPORT9 a{}, b{};
  real->GetViewport(&a);
  recording->GetViewport(&b);
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
  EXPECT_TRUE(ReleaseToZero(recording));
}

// Runs one sequence of calls on a device and lists every count it returned.
std::vector<ULONG> CountsOf(IDirect3DDevice9* device) {
  std::vector<ULONG> counts;
  IDirect3DTexture9* texture = nullptr;
  IDirect3DVertexBuffer9* buffer = nullptr;
  IDirect3DSurface9* level = nullptr;
  IDirect3DSurface9* back = nullptr;
  if (FAILED(
          device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr)) ||
      FAILED(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr)))
    return {};
  counts.push_back(device->AddRef() - 1);
  device->Release();
  device->SetTexture(0, texture);
  device->SetStreamSource(0, buffer, 0, 16);
  counts.push_back(texture->AddRef());
  counts.push_back(texture->Release());
  texture->GetSurfaceLevel(0, &level);
  counts.push_back(texture->AddRef());  // the level counts as the texture
  texture->Release();
  counts.push_back(level->Release());
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  counts.push_back(back->Release());
  // Bound after their last release: still alive for the device, not for the application.
  counts.push_back(texture->Release());
  counts.push_back(buffer->Release());
  IDirect3DBaseTexture9* bound = nullptr;
  device->GetTexture(0, &bound);
  counts.push_back(bound == texture);
  if (bound) counts.push_back(bound->Release());
  device->SetTexture(0, nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  counts.push_back(device->AddRef() - 1);
  device->Release();
  return counts;
}

TEST(RecordingDevice, CountsReferencesAsThePlatformDeviceDoes) {
  TestDevice real(16, 16);
  ASSERT_TRUE(real.ok());
  auto* recording = new RecordingDevice(16, 16);
  const std::vector<ULONG> expected = CountsOf(real.device);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(CountsOf(recording), expected);
  EXPECT_EQ(recording->liveObjectCount(), 2u);  // back buffer and depth surface
  EXPECT_TRUE(recording->refusals.empty());
  EXPECT_TRUE(ReleaseToZero(recording));
}

TEST(RecordingDevice, ALeakedObjectKeepsTheDeviceAndIsNamed) {
  auto* device = new RecordingDevice(16, 16);
  IDirect3DIndexBuffer9* leaked = nullptr;
  ASSERT_HR(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &leaked, nullptr));
  const ::testing::AssertionResult result = ReleaseToZero(device);
  EXPECT_FALSE(result);
  EXPECT_NE(std::string(result.message()).find("Device has 1 references left"), std::string::npos)
      << result.message();
  EXPECT_NE(std::string(result.message()).find("index buffer of 12 bytes"), std::string::npos);
  EXPECT_EQ(device->liveObjectCount(), 3u);
  EXPECT_EQ(leaked->Release(), 0u);  // the last object takes the device with it
}

TEST(RecordingDevice, RecordsDrawsWithTheirStateAndVertices) {
  ComOwner<RecordingDevice> device(new RecordingDevice(32, 32));
  ComOwner<IDirect3DTexture9> texture;
  {
    IDirect3DTexture9* made = nullptr;
    ASSERT_HR(device->CreateTexture(8, 8, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &made, nullptr));
    texture.reset(made);
  }
  EXPECT_EQ(texture->GetLevelCount(), 4u);  // 8, 4, 2, 1
  const float quad[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  ASSERT_HR(device->SetFVF(D3DFVF_XYZ));
  ASSERT_HR(device->SetTexture(1, texture.get()));
  ASSERT_HR(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 12));
  ASSERT_HR(device->BeginScene());
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->BeginScene());
  ASSERT_HR(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 12));
  ASSERT_HR(device->EndScene());
  ASSERT_EQ(device->draws.size(), 1u);
  const RecordedDraw& draw = device->draws[0];
  EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
  EXPECT_EQ(draw.state.fvf, DWORD{D3DFVF_XYZ});
  EXPECT_EQ(draw.state.render[D3DRS_ALPHABLENDENABLE], DWORD{TRUE});
  EXPECT_EQ(draw.textures[1], texture.get());
  EXPECT_EQ(draw.textures[0], nullptr);
  ASSERT_EQ(draw.vertices.size(), sizeof quad);
  EXPECT_EQ(std::memcmp(draw.vertices.data(), quad, sizeof quad), 0);
  EXPECT_EQ(device->refusals.size(), 2u);  // the draw outside a scene, the nested scene
  EXPECT_EQ(device->Count("BeginScene"), 2u);
  ASSERT_HR(device->SetTexture(1, nullptr));
  texture.reset();
  EXPECT_TRUE(ReleaseToZero(device.release()));
}

// Vertex formats and strides are judged by the platform device's own rules: what it
// refuses, the recording device refuses too.
TEST(RecordingDevice, RefusesTheVertexFormatsAndStridesThePlatformDeviceRefuses) {
  TestDevice real(32, 32);
  ASSERT_TRUE(real.ok());
  ComOwner<RecordingDevice> recording(new RecordingDevice(32, 32));
  const DWORD formats[] = {D3DFVF_XYZ | D3DFVF_TEX1, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
                           D3DFVF_XYZB1, D3DFVF_XYZW, D3DFVF_XYZRHW | D3DFVF_NORMAL,
                           D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2};
  for (DWORD fvf : formats)
    EXPECT_EQ(SUCCEEDED(recording->SetFVF(fvf)), SUCCEEDED(real->SetFVF(fvf))) << fvf;
  const float quad[4][5] = {};
  ASSERT_HR(real->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1));
  ASSERT_HR(recording->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1));
  ASSERT_HR(real->BeginScene());
  ASSERT_HR(recording->BeginScene());
  for (UINT stride : {20u, 16u, 12u, 0u})
    EXPECT_EQ(SUCCEEDED(recording->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, stride)),
              SUCCEEDED(real->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, stride)))
        << "stride " << stride;
  for (D3DPRIMITIVETYPE type : {D3DPT_TRIANGLELIST, static_cast<D3DPRIMITIVETYPE>(0),
                                static_cast<D3DPRIMITIVETYPE>(9)})
    EXPECT_EQ(SUCCEEDED(recording->DrawPrimitiveUP(type, 1, quad, 20)),
              SUCCEEDED(real->DrawPrimitiveUP(type, 1, quad, 20)))
        << "type " << type;
  ASSERT_HR(real->EndScene());
  ASSERT_HR(recording->EndScene());
  EXPECT_EQ(recording->draws.size(), 2u);  // stride 20 strip, the list
  EXPECT_TRUE(ReleaseToZero(recording.release()));
}

TEST(RecordingDevice, RefusesDrawsThatReadBeyondTheirBuffers) {
  ComOwner<RecordingDevice> device(new RecordingDevice(32, 32));
  IDirect3DVertexBuffer9* rawVertices = nullptr;
  IDirect3DIndexBuffer9* rawIndices = nullptr;
  ASSERT_HR(
      device->CreateVertexBuffer(4 * 12, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &rawVertices, nullptr));
  ComOwner<IDirect3DVertexBuffer9> vertices(rawVertices);
  ASSERT_HR(
      device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &rawIndices, nullptr));
  ComOwner<IDirect3DIndexBuffer9> indices(rawIndices);
  void* data = nullptr;
  ASSERT_HR(indices->Lock(0, 0, &data, 0));
  void* again = nullptr;
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, indices->Lock(0, 0, &again, 0));  // nested
  EXPECT_EQ(again, nullptr);
  const std::uint16_t list[6] = {0, 1, 2, 2, 1, 4};
  std::memcpy(data, list, sizeof list);
  ASSERT_HR(indices->Unlock());
  ASSERT_HR(device->SetStreamSource(0, vertices.get(), 0, 12));
  ASSERT_HR(device->SetIndices(indices.get()));
  ASSERT_HR(device->SetFVF(D3DFVF_XYZ));
  ASSERT_HR(device->BeginScene());
  device->ClearRecord();
  EXPECT_HR(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2));
  EXPECT_HR(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1));
  // Index 4 lies outside the four vertices, and outside the ones named.
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 5, 0, 2));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 3, 2));
  ASSERT_HR(device->EndScene());
  ASSERT_EQ(device->draws.size(), 2u);
  EXPECT_EQ(device->refusals.size(), 5u) << ::testing::PrintToString(device->refusals);
  ASSERT_EQ(device->draws[1].indices.size(), 6u);
  ASSERT_HR(device->SetStreamSource(0, nullptr, 0, 0));
  ASSERT_HR(device->SetIndices(nullptr));
  vertices.reset();
  indices.reset();
  EXPECT_TRUE(ReleaseToZero(device.release()));
}

TEST(RecordingDevice, KeepsTheBytesWrittenAndRefusesLocksDirect3DForbids) {
  ComOwner<RecordingDevice> device(new RecordingDevice(32, 32));
  IDirect3DTexture9* raw = nullptr;
  ASSERT_HR(device->CreateTexture(4, 2, 1, 0, D3DFMT_L8, D3DPOOL_SYSTEMMEM, &raw, nullptr));
  ComOwner<IDirect3DTexture9> staging(raw);
  ASSERT_HR(device->CreateTexture(4, 2, 1, 0, D3DFMT_L8, D3DPOOL_DEFAULT, &raw, nullptr));
  ComOwner<IDirect3DTexture9> target(raw);
  EXPECT_HR_EQ(D3DERR_INVALIDCALL,
               device->CreateTexture(4, 4, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &raw, nullptr));
  EXPECT_EQ(raw, nullptr);
  D3DLOCKED_RECT locked{};
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, target->LockRect(0, &locked, nullptr, 0));
  ASSERT_HR(staging->LockRect(0, &locked, nullptr, 0));
  EXPECT_EQ(locked.Pitch, 4);
  static_cast<BYTE*>(locked.pBits)[5] = 0x7F;
  ASSERT_HR(staging->UnlockRect(0));
  EXPECT_HR_EQ(D3DERR_INVALIDCALL, staging->UnlockRect(0));
  ASSERT_HR(device->UpdateTexture(staging.get(), target.get()));
  auto* recorded = dynamic_cast<RecordedTexture*>(target.get());
  ASSERT_NE(recorded, nullptr);
  EXPECT_EQ(recorded->levels[0]->memory.bytes[5], 0x7F);
  staging.reset();
  target.reset();
  EXPECT_TRUE(ReleaseToZero(device.release()));
}

}  // namespace
