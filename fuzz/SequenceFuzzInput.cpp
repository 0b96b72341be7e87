#include "fuzz/SequenceFuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "archive/CFLArchive.h"
#include "archive/CFLArchiveWriter.h"
#include "fuzz/FuzzFatalSeam.h"
#include "media/ImageBlitter.h"
#include "platform/d3d9/d3d9.h"
#include "tests/support/HeadlessDevice.h"
#include "tests/support/TempDir.h"

namespace {

// A width x height 24-bit BMP of one colour.
std::string Bmp(std::uint32_t width, std::uint32_t height, char r, char g, char b) {
  const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
  std::string bmp = "BM";
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>(v >> (8 * i)));
  };
  for (std::uint32_t v : {54 + rowBytes * height, 0u, 54u, 40u, width, height}) u32(v);
  bmp += {1, 0, 24, 0};
  for (std::uint32_t v : {0u, rowBytes * height, 2835u, 2835u, 0u, 0u}) u32(v);
  for (std::uint32_t row = 0; row < height; ++row) {
    for (std::uint32_t x = 0; x < width; ++x) bmp += {b, g, r};
    bmp.append(rowBytes - width * 3, '\0');
  }
  return bmp;
}

// An 8-bit greyscale PNG (1 x 1), so that a sequence may mix formats.
const unsigned char kGreyPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x3A,
    0x7E, 0x9B, 0x55, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x68,
    0x00, 0x00, 0x00, 0x82, 0x00, 0x81, 0x77, 0xCD, 0x72, 0xB6, 0x00, 0x00, 0x00, 0x00, 0x49,
    0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

struct Harness {
  Harness() {
    InstallFuzzFatalSeam();
    const std::string archivePath = folder.file("pictures.cfl");
    {
      std::ofstream out(archivePath, std::ios::binary);
      CFLArchiveWriter writer(out);
      auto add = [&](const std::string& name, const std::string& bytes) {
        writer.Add(name, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                   static_cast<std::uint32_t>(bytes.size()), CFLAllFilterChains());
      };
      add("a.bmp", Bmp(2, 2, '\xFF', 0, 0));
      add("b.bmp", Bmp(2, 2, 0, '\xFF', 0));
      add("w.bmp", Bmp(5, 3, 0, 0, '\xFF'));
      add("g.png", std::string(reinterpret_cast<const char*>(kGreyPng), sizeof kGreyPng));
      writer.Finish(CFLAllFilterChains());
    }
    if (folder.path().empty() || !archive.Open(archivePath.c_str())) {
      std::fprintf(stderr, "sequence fuzz: no picture archive\n");
      std::abort();
    }
    SetProgramArchive(&archive);
    sequencePath = folder.file("s.seq");
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    device = CreateHeadlessDevice(direct3d, 64, 48, D3DFMT_D24X8);
    if (!device) {
      std::fprintf(stderr, "sequence fuzz: no headless device\n");
      std::abort();
    }
  }
  TempDir folder;
  CFLArchive archive;
  std::string sequencePath;
  IDirect3D9* direct3d = nullptr;
  IDirect3DDevice9* device = nullptr;
};

}  // namespace

void LoadSequenceBytes(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.find_first_of("/\\") != std::string_view::npos) return;
  std::ofstream(harness.sequencePath, std::ios::binary | std::ios::trunc) << text;
  try {
    ImageBlitter sequence(harness.device, harness.sequencePath.c_str(), 1024, 768, false,
                          0xFFFFFFFF);
    float t = -5;
    for (int i = 0; i < 64; ++i, t = t * 1.7f + 13) sequence.step(t);
    if (sequence.frameIndex() >= sequence.frameCount()) {
      std::fprintf(stderr, "sequence fuzz: frame %u of %zu\n", sequence.frameIndex(),
                   sequence.frameCount());
      std::abort();
    }
    harness.device->BeginScene();
    sequence.draw(3e9f);
    harness.device->EndScene();
  } catch (const FuzzFatal&) {
  }
  ForgetFuzzMessageBoxes();
}
