// The shell as one object: what exists after start-up and after each shutdown step,
// every reference let go at the end, and the glow of a scene through every way the
// show starts again (Home, a seek back, R, the loop), driven by key messages.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/Shell.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/fsound/fsoundhost.h"
#include "platform/os/oshost.h"
#include "support/GlowSceneFile.h"
#include "support/TempDir.h"

namespace {

// Red of the frame just presented at (x, y); -1 when it cannot be read.
int RedAt(IDirect3DDevice9* device, UINT x, UINT y) {
  IDirect3DSurface9* back = nullptr;
  if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return -1;
  D3DSURFACE_DESC desc{};
  back->GetDesc(&desc);
  IDirect3DSurface9* copy = nullptr;
  int red = -1;
  if (SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                    D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
      SUCCEEDED(device->GetRenderTargetData(back, copy))) {
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(
          static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch);
      red = static_cast<int>((row[x] >> 16) & 0xFF);
      copy->UnlockRect();
    }
  }
  if (copy) copy->Release();
  back->Release();
  return red;
}

class ShellRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    saved_ = getcwd(cwd, sizeof cwd) ? cwd : ".";
    OsSetHeadless(true);
    OsUseVirtualCounter(1000);  // a tick a millisecond
    show_.write("demo.psc",
                "loadscene glow.psk g\nplayscene g\nsetscenetime 0\nwaituntil 8000\n");
    show_.write("glow.psk", GlowSceneFile());
    show_.write("spark.tga", SolidTga(8, 255));
    options_.headless = true;
    options_.fullscreen = false;
    options_.fps = FrameRate{10, 1};
    options_.dataDir = show_.path();
    // Right of the quad, where only its halo lights the frame.
    D3D9SetPresentObserver([this](IDirect3DDevice9* device) { halo_ = RedAt(device, 640, 384); });
  }
  void TearDown() override {
    D3D9SetPresentObserver({});
    ASSERT_EQ(chdir(saved_.c_str()), 0);
  }
  // One frame of the loop after `ms` of the counter, with `key` pressed first; the
  // halo's brightness in it.
  int Frame(Shell& shell, int ms, WPARAM key = 0) {
    OsAdvanceVirtualCounter(ms);
    if (key) OsQueueMessage(shell.mainWindow, WM_KEYDOWN, key, 0);
    halo_ = -1;
    EXPECT_TRUE(shell.Step());
    return halo_;
  }

  TempDir show_;
  std::string saved_;
  ShellOptions options_;
  int halo_ = -1;
};

TEST_F(ShellRun, StartUpMakesEveryObjectAndShutdownLetsGoOfAllInOrder) {
  Shell shell(options_);
  ASSERT_TRUE(shell.Start());
  EXPECT_NE(shell.archive, nullptr);
  EXPECT_EQ(ProgramArchive(), shell.archive.get());
  EXPECT_TRUE(IsWindow(shell.mainWindow));
  ASSERT_NE(shell.device, nullptr);
  ASSERT_NE(shell.direct3d, nullptr);
  ASSERT_NE(shell.scripter, nullptr);
  EXPECT_NE(FSoundHostActiveOutput(), FSoundActiveOutput::None);
  EXPECT_TRUE(GlowTargetsComplete());
  EXPECT_EQ(GlowTargetLeases(), 2) << "the shell's and the script player's";
  EXPECT_GT(Frame(shell, 100), 150);

  // Held here to see the count fall to zero, which proves that everything made on
  // the device let go of it too.
  IDirect3DDevice9* device = shell.device.get();
  IDirect3D9* direct3d = shell.direct3d.get();
  device->AddRef();
  direct3d->AddRef();
  shell.DeleteScript();
  EXPECT_EQ(shell.scripter, nullptr);
  EXPECT_EQ(FSoundHostActiveOutput(), FSoundActiveOutput::None) << "sound closed with it";
  EXPECT_EQ(GlowTarget(0), nullptr) << "glow targets released with it";
  EXPECT_NE(shell.device, nullptr) << "the device outlives the script player";
  const HWND window = shell.mainWindow;
  EXPECT_EQ(shell.Finish(), 0);
  EXPECT_EQ(shell.device, nullptr);
  EXPECT_EQ(shell.direct3d, nullptr);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(direct3d->Release(), 0u);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(shell.mainWindow, nullptr);
  EXPECT_EQ(shell.archive, nullptr);
  EXPECT_EQ(ProgramArchive(), nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpszClassName = "Vorla window class";
  windowClass.lpfnWndProc = DefWindowProcA;
  EXPECT_NE(RegisterClassA(&windowClass), 0) << "the class was unregistered";
  UnregisterClassA("Vorla window class", nullptr);
  EXPECT_EQ(shell.Finish(), 0) << "a second finish does nothing";
}

TEST_F(ShellRun, TheHaloSurvivesHomeASeekBackAReloadAndTheLoop) {
  options_.loop = true;
  Shell shell(options_);
  ASSERT_TRUE(shell.Start());
  const int first = Frame(shell, 100);
  EXPECT_GT(first, 150) << "the first pass glows";
  const Scripter* player = shell.scripter.get();

  EXPECT_EQ(Frame(shell, 100, VK_HOME), first) << "after Home";
  EXPECT_NE(shell.scripter.get(), player);
  EXPECT_FLOAT_EQ(shell.scripter->scriptTime(), 0);

  Frame(shell, 6000);
  player = shell.scripter.get();
  EXPECT_EQ(Frame(shell, 0, VK_LEFT), first) << "after a seek back";
  EXPECT_NE(shell.scripter.get(), player);
  EXPECT_FLOAT_EQ(shell.scripter->scriptTime(), 1000);

  player = shell.scripter.get();
  testing::internal::CaptureStderr();
  EXPECT_EQ(Frame(shell, 100, 'R'), first) << "after R";
  testing::internal::GetCapturedStderr();
  EXPECT_NE(shell.scripter.get(), player);

  for (int pass = 2; pass <= 3; ++pass) {
    player = shell.scripter.get();
    EXPECT_EQ(Frame(shell, 8000), 0) << "the frame that ends a pass is black";
    EXPECT_NE(shell.scripter.get(), player) << "pass " << pass;
    EXPECT_EQ(Frame(shell, 100), first) << "pass " << pass;
  }
  EXPECT_EQ(GlowTargetLeases(), 2) << "no lease left behind by the players gone";
  EXPECT_EQ(shell.Finish(), 0);
  EXPECT_EQ(GlowTargetLeases(), 0);
}

TEST_F(ShellRun, ALoopFromAStartPlaceGoesBackThereAndSecondsCountEveryPass) {
  options_.loop = true;
  options_.start = 2.5;
  options_.seconds = 9;
  Shell shell(options_);
  ASSERT_TRUE(shell.Start());
  EXPECT_FLOAT_EQ(shell.scripter->scriptTime(), 2500);
  const int first = Frame(shell, 100);
  EXPECT_GT(first, 150);
  EXPECT_EQ(Frame(shell, 8000), 0) << "the end of the pass";
  EXPECT_FLOAT_EQ(shell.scripter->scriptTime(), 2500) << "back at the start place";
  EXPECT_EQ(Frame(shell, 100), first);
  // 8.1 s in the first pass and 0.1 s in this one: 0.8 s more make the 9 asked for.
  OsAdvanceVirtualCounter(700);
  EXPECT_TRUE(shell.Step());
  OsAdvanceVirtualCounter(100);
  EXPECT_FALSE(shell.Step()) << "--seconds counts every pass";
  EXPECT_EQ(shell.Finish(), 0);
}

}  // namespace
