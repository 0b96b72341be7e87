// Frames per second of a headless run without capture: the Scripter drawing 64
// full-screen 1024 x 768 picture layers per frame (opaque, then at opacity 0.5 so
// that every layer blends; 1 opaque layer for comparison), with the clear and the
// present of the frame loop.
// A headless present hands nothing on, and a renderer may then drop a whole frame
// of draws at the next clear; so each frame is read back (as a capture run would,
// without writing it), which makes it really drawn.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "FrameReadback.h"
#include "app/Program.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"
#include "script/LayerItems.h"
#include "script/SlotItems.h"
#include "script/TimingItems.h"

namespace {

// The shell's window and device, made once for every benchmark in the program.
bool OpenDevice() {
  if (program.device) return true;
  OsSetHeadless(true);
  program.instance = GetModuleHandleA(nullptr);
  CreateMainWindow();
  InitDirect3D();
  return program.device != nullptr;
}

// A 1024 x 768 picture with a pattern, written as PNG; the path, or empty.
std::string WritePicture() {
  const std::string path = "/tmp/bench_images_layers.png";
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(program.device->CreateOffscreenPlainSurface(1024, 768, D3DFMT_X8R8G8B8,
                                                         D3DPOOL_SYSTEMMEM, &surface, nullptr)))
    return {};
  D3DLOCKED_RECT locked{};
  if (SUCCEEDED(surface->LockRect(&locked, nullptr, 0))) {
    for (int y = 0; y < 768; ++y) {
      auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
      for (int x = 0; x < 1024; ++x) row[x] = 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x ^ y) & 0xFF);
    }
    surface->UnlockRect();
  }
  const bool written = SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, surface, nullptr, nullptr));
  surface->Release();
  return written ? path : std::string();
}

void DrawLayers(benchmark::State& state, float alpha) {
  const int layers = static_cast<int>(state.range(0));
  if (!OpenDevice()) {
    state.SkipWithError("no Direct3D device");
    return;
  }
  const std::string picture = WritePicture();
  if (picture.empty()) {
    state.SkipWithError("cannot write the picture");
    return;
  }
  float now = 0;
  Scripter scripter(program.device, kScreenWidth, kScreenHeight, [&now] { return now; });
  scripter.items.push_back(std::make_unique<LoadImage>(&scripter, picture, "picture"));
  for (int layer = 0; layer < layers; ++layer) {
    scripter.items.push_back(std::make_unique<SetLayer>(&scripter, "picture", layer));
    scripter.items.push_back(std::make_unique<SetLayerAlpha>(&scripter, layer, alpha));
  }
  scripter.items.push_back(std::make_unique<Wait>(&scripter, 1e30f));
  FrameReadback readback(program.device);
  if (!readback.ok()) {
    state.SkipWithError("no back buffer to read");
    return;
  }

  for (auto _ : state) {
    program.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 127);
    scripter.update();
    program.device->Present(nullptr, nullptr, nullptr, nullptr);
    readback.Wait();
    now += 16;
  }
  // The picture is not black there, the clear colour is.
  if (!Plausible((readback.Pixel(300, 200) & 0xFFFFFF) != 0, "the layers did not reach the frame"))
    state.SkipWithError("the layers did not reach the frame");
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  std::remove(picture.c_str());
}

void BM_OpaquePictureLayers(benchmark::State& state) { DrawLayers(state, 1.0f); }
void BM_BlendedPictureLayers(benchmark::State& state) { DrawLayers(state, 0.5f); }

// 64 layers is the goal; 1 layer shows the cost of the frame itself (clear, readback).
BENCHMARK(BM_OpaquePictureLayers)->Arg(64)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BlendedPictureLayers)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
