#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Shell.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/os/oshost.h"

namespace {

class ShellSteps : public ::testing::Test {
 protected:
  void SetUp() override { OsSetHeadless(true); }
  void TearDown() override {
    OsSetMessageBoxHandler(nullptr);
    D3D9SetCreateDeviceFilter(nullptr);
    D3D9SetCapsOverride(nullptr);
  }
  static void Answer(int result) {
    OsSetMessageBoxHandler([result](const OsMessageBoxRecord&) { return result; });
  }

  Shell program;
};

TEST_F(ShellSteps, QuestionAnswersChooseTheMode) {
  Answer(IDYES);
  program.AskFullscreen();
  EXPECT_TRUE(program.fullscreen);
  Answer(IDNO);
  program.AskFullscreen();
  EXPECT_FALSE(program.fullscreen);
  Answer(IDOK);  // any other answer: windowed
  program.fullscreen = true;
  program.AskFullscreen();
  EXPECT_FALSE(program.fullscreen);
  ASSERT_FALSE(OsShownMessageBoxes().empty());
  EXPECT_EQ(OsShownMessageBoxes().back().text, "Would you like to run in fullscreen mode?");
  EXPECT_EQ(OsShownMessageBoxes().back().caption, "Demo");
  EXPECT_EQ(OsShownMessageBoxes().back().type, 0x23u);
}

using ShellDeathTest = ShellSteps;

TEST_F(ShellDeathTest, CancelIsAUserAbortWithStatus5) {
  EXPECT_EXIT(
      {
        Answer(IDCANCEL);
        program.AskFullscreen();
      },
      ::testing::ExitedWithCode(5), "User Abort");
}

TEST_F(ShellDeathTest, NoMessageBoxMeansStatus10) {
  EXPECT_EXIT(
      {
        Answer(0);
        program.AskFullscreen();
      },
      ::testing::ExitedWithCode(10), "Couldn't open MessageBox, dying");
}

TEST_F(ShellDeathTest, FatalErrorShowsItsTextUnderDemoAndExits5) {
  EXPECT_EXIT(program.FatalError("Error opening window"), ::testing::ExitedWithCode(5),
              "Demo: Error opening window");
}

TEST_F(ShellSteps, WindowProcedureStopsOnCloseAndEscapeOnly) {
  program.CreateMainWindow();
  ASSERT_NE(program.mainWindow, nullptr);
  EXPECT_EQ(Shell::WindowProc(program.mainWindow, WM_KEYDOWN, 'A', 0), 0);
  EXPECT_FALSE(program.quitRequested);
  Shell::WindowProc(program.mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(program.quitRequested);
  program.quitRequested = false;
  Shell::WindowProc(program.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.quitRequested);
  EXPECT_TRUE(IsWindow(program.mainWindow));  // close does not destroy the window
}

TEST_F(ShellSteps, WindowedWindowIs1024By768) {
  program.CreateMainWindow();
  RECT client{};
  ASSERT_TRUE(GetClientRect(program.mainWindow, &client));
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 768);
}

TEST_F(ShellSteps, DeviceFallsBackToD16WhenD24X8IsRefused) {
  std::vector<D3DFORMAT> asked;
  D3D9SetCreateDeviceFilter([&](const D3DPRESENT_PARAMETERS& p, DWORD) {
    asked.push_back(p.AutoDepthStencilFormat);
    return p.AutoDepthStencilFormat == D3DFMT_D24X8 ? D3DERR_NOTAVAILABLE : D3D_OK;
  });
  program.CreateMainWindow();
  program.InitDirect3D();
  ASSERT_NE(program.device, nullptr);
  EXPECT_EQ(asked, (std::vector<D3DFORMAT>{D3DFMT_D24X8, D3DFMT_D16}));
  IDirect3DSurface9* depth = nullptr;
  ASSERT_EQ(program.device->GetDepthStencilSurface(&depth), D3D_OK);
  D3DSURFACE_DESC desc{};
  depth->GetDesc(&desc);
  EXPECT_EQ(desc.Format, D3DFMT_D16);
  depth->Release();
}

// Says at the end of the process whether the window and its class were left.
void ReportWindowAtExit(HWND window = nullptr) {
  OsSetExitHandler([window](UINT) {
    if (window) std::fputs(IsWindow(window) ? "[window left]\n" : "[window gone]\n", stderr);
    WNDCLASSA windowClass{};
    windowClass.lpszClassName = "Vorla window class";
    windowClass.lpfnWndProc = DefWindowProcA;
    std::fputs(RegisterClassA(&windowClass) ? "[class gone]\n" : "[class left]\n", stderr);
  });
}

TEST_F(ShellDeathTest, EachFailingStartUpStepTearsDownWhatExistsAndExits5) {
  EXPECT_EXIT(
      {
        WNDCLASSA taken{};
        taken.lpszClassName = "Vorla window class";
        taken.lpfnWndProc = DefWindowProcA;
        RegisterClassA(&taken);
        program.CreateMainWindow();
      },
      ::testing::ExitedWithCode(5), "Demo: Error registering window class");
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        OsSetHeadless(false);
        ReportWindowAtExit();
        program.CreateMainWindow();
      },
      ::testing::ExitedWithCode(5), "Demo: Error opening window\n.*\\[class gone\\]");
  EXPECT_EXIT(
      {
        D3D9SetCreateDeviceFilter([](const D3DPRESENT_PARAMETERS&, DWORD) {
          return static_cast<HRESULT>(D3DERR_NOTAVAILABLE);
        });
        program.CreateMainWindow();
        ReportWindowAtExit(program.mainWindow);
        program.InitDirect3D();
      },
      ::testing::ExitedWithCode(5),
      "Demo: Error creating Device: -2005530518\n.*\\[window gone\\]\n\\[class gone\\]");
}

TEST_F(ShellSteps, VertexProcessingFollowsTheCapabilities) {
  std::vector<DWORD> flags;
  D3D9SetCreateDeviceFilter([&](const D3DPRESENT_PARAMETERS&, DWORD behavior) {
    flags.push_back(behavior);
    return D3D_OK;
  });
  D3DCAPS9 caps{};
  caps.VertexShaderVersion = D3DVS_VERSION(0, 0);
  caps.DevCaps = 0;  // no shaders, no hardware transform and lighting
  D3D9SetCapsOverride(&caps);
  program.CreateMainWindow();
  program.InitDirect3D();
  program.ReleaseDirect3D();
  caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  D3D9SetCapsOverride(&caps);
  program.InitDirect3D();
  program.ReleaseDirect3D();
  caps.DevCaps = 0;
  caps.VertexShaderVersion = D3DVS_VERSION(1, 0);
  D3D9SetCapsOverride(&caps);
  program.InitDirect3D();
  EXPECT_EQ(flags, (std::vector<DWORD>{0x20, 0x40, 0x40}));
}

TEST_F(ShellSteps, WindowedBackBufferTakesTheClientSizeAndClearsExactly) {
  program.CreateMainWindow();
  program.InitDirect3D();
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(program.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DSURFACE_DESC desc{};
  back->GetDesc(&desc);
  EXPECT_EQ(desc.Width, 1024u);
  EXPECT_EQ(desc.Height, 768u);
  ASSERT_EQ(program.device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(12, 34, 56), 1.0f, 0),
            D3D_OK);
  IDirect3DSurface9* copy = nullptr;
  ASSERT_EQ(program.device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                        D3DPOOL_SYSTEMMEM, &copy, nullptr),
            D3D_OK);
  ASSERT_EQ(program.device->GetRenderTargetData(back, copy), D3D_OK);
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  const auto* row = static_cast<const std::uint32_t*>(locked.pBits);
  EXPECT_EQ(row[0] & 0xFFFFFF, 0x0C2238u);
  EXPECT_EQ(row[1023] & 0xFFFFFF, 0x0C2238u);
  copy->UnlockRect();
  copy->Release();
  back->Release();
}

}  // namespace
