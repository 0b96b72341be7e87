#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/os/oshost.h"
#include "platform/os/windows.h"
#include "support/TempDir.h"

namespace {

TEST(MessageBoxes, HandlerAnswersAndEveryBoxIsRecorded) {
  OsClearShownMessageBoxes();
  OsSetMessageBoxHandler([](const OsMessageBoxRecord& box) {
    return box.type == (MB_YESNOCANCEL | MB_ICONQUESTION) ? IDNO : IDOK;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Question?", "Demo", 0x23), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Demo", MB_OK), IDOK);
  ASSERT_EQ(OsShownMessageBoxes().size(), 2u);
  EXPECT_EQ(OsShownMessageBoxes()[0].text, "Question?");
  EXPECT_EQ(OsShownMessageBoxes()[0].caption, "Demo");
  EXPECT_EQ(OsShownMessageBoxes()[0].type, 0x23u);
  OsSetMessageBoxHandler(nullptr);
}

TEST(MessageBoxes, HeadlessBoxCannotBeShownButStillReachesStandardError) {
  OsSetHeadless(true);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Destroy Window Failed", "Demo", 0x40010), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Demo: Destroy Window Failed\n");
}

TEST(MessageBoxesDeathTest, FatalShowsTheBoxAndExitsWithTheStatus) {
  OsSetHeadless(true);
  EXPECT_EXIT(OsFatal("MP3Player Error", "File not found", 0), ::testing::ExitedWithCode(0),
              "MP3Player Error: File not found");
  EXPECT_EXIT(OsFatal("Demo", "Error opening window", 5), ::testing::ExitedWithCode(5),
              "Demo: Error opening window");
}

TEST(ExitDeathTest, OrdinaryExitRunsTheRegisteredHandlersNewestFirstAndExitProcessNone) {
  OsSetHeadless(true);
  auto registerThree = [] {
    OsAddExitHandler([] { std::fputs("first\n", stderr); });
    const int removed = OsAddExitHandler([] { std::fputs("removed\n", stderr); });
    // A handler that ends the process again does not run itself twice.
    OsAddExitHandler([] {
      std::fputs("last\n", stderr);
      OsExit(3);
    });
    OsRemoveExitHandler(removed);
  };
  EXPECT_EXIT(
      {
        registerThree();
        OsFatalExit("Error", "Damaged scene", 0);
      },
      ::testing::ExitedWithCode(3), "Error: Damaged scene\nlast\nfirst\n$");
  EXPECT_EXIT(
      {
        registerThree();
        ExitProcess(7);
      },
      ::testing::ExitedWithCode(7), "^$");
}

TEST(PerformanceCounter, VirtualCounterMovesOnlyWhenAdvanced) {
  LARGE_INTEGER f{}, a{}, b{};
  ASSERT_TRUE(QueryPerformanceFrequency(&f));
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_GE(b.QuadPart, a.QuadPart);
  EXPECT_GT(f.QuadPart, 0);

  OsUseVirtualCounter(30000000);
  QueryPerformanceFrequency(&f);
  EXPECT_EQ(f.QuadPart, 30000000);
  QueryPerformanceCounter(&a);
  EXPECT_EQ(a.QuadPart, 0);
  OsAdvanceVirtualCounter(1000000);
  QueryPerformanceCounter(&a);
  QueryPerformanceCounter(&b);
  EXPECT_EQ(a.QuadPart, 1000000);
  EXPECT_EQ(b.QuadPart, 1000000);
}

TEST(TextConversion, Utf8BecomesUtf16WithTerminatorWhenLengthIsMinusOne) {
  const char* text = "C:\\d\xC3\xA9mo\xF0\x9F\x8E\xB5";  // é and a symbol outside the BMP
  int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  ASSERT_EQ(needed, 10);  // 7 ASCII/BMP units + a surrogate pair + the terminator
  std::u16string wide(needed, u'?');
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), needed), needed);
  EXPECT_EQ(wide, std::u16string(u"C:\\d\u00E9mo\U0001F3B5") + u'\0');
  // Too small a buffer converts nothing.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), 3), 0);
}

TEST(TextConversion, InvalidBytesAreKeptAsLatin1) {
  const char bytes[] = {'a', '\xE9', '\xC3', 'b'};
  char16_t wide[8] = {};
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, 4, wide, 8), 4);
  EXPECT_EQ(std::u16string(wide, 4), (std::u16string{u'a', u'\u00E9', u'\u00C3', u'b'}));
}

TEST(Files, ModulePathCurrentDirectoryAndDeletion) {
  char path[1024];
  DWORD n = GetModuleFileNameA(GetModuleHandleA(nullptr), path, sizeof path);
  ASSERT_GT(n, 0u);
  EXPECT_TRUE(std::filesystem::exists(path));
  char tiny[4];
  EXPECT_EQ(GetModuleFileNameA(nullptr, tiny, sizeof tiny), 4u);  // truncated: size returned
  EXPECT_EQ(std::string(tiny).size(), 3u);

  TempDir dir;
  char before[4096];
  ASSERT_GT(GetCurrentDirectoryA(sizeof before, before), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  char now[4096];
  DWORD length = GetCurrentDirectoryA(sizeof now, now);
  EXPECT_EQ(std::filesystem::canonical(now), std::filesystem::canonical(dir.path()));
  EXPECT_EQ(GetCurrentDirectoryA(2, now), length + 1);  // too small: the size needed
  dir.write("x.bin", "data");
  EXPECT_TRUE(DeleteFileA("x.bin"));
  EXPECT_FALSE(DeleteFileA("x.bin"));
  ASSERT_TRUE(SetCurrentDirectoryA(before));
}

// Records what the window procedure receives.
std::vector<UINT> received;
LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back(message);
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Windows, HeadlessWindowsKeepTheirClassQueueAndProcedure) {
  OsSetHeadless(true);
  WNDCLASSA cls{};
  cls.lpfnWndProc = RecordingProc;
  cls.lpszClassName = "Test class";
  ASSERT_NE(RegisterClassA(&cls), 0);
  EXPECT_EQ(RegisterClassA(&cls), 0);  // registered once
  EXPECT_EQ(CreateWindowExA(0, "No such class", "x", WS_SYSMENU, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  HWND w = CreateWindowExA(0, "Test class", "Demo", WS_SYSMENU, 0, 0, 1024, 768, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  // The user data: where a procedure finds the object behind its window.
  int owner = 0;
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0);
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner)), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&owner));
  EXPECT_EQ(GetWindowLongPtrA(w, 0), 0) << "no other index";
  RECT r{};
  ASSERT_TRUE(GetClientRect(w, &r));
  EXPECT_EQ(r.right, 1024);
  EXPECT_EQ(r.bottom, 768);
  EXPECT_FALSE(UnregisterClassA("Test class", nullptr));  // still in use

  received.clear();
  UpdateWindow(w);
  OsQueueMessage(w, WM_KEYDOWN, VK_ESCAPE, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(msg.wParam, VK_ESCAPE);
  DispatchMessageA(&msg);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

  // The default procedure destroys the window on close; destruction posts the quit.
  OsQueueMessage(w, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  DispatchMessageA(&msg);
  EXPECT_FALSE(IsWindow(w));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(received, (std::vector<UINT>{WM_PAINT, WM_KEYDOWN, WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0) << "a destroyed window has none";
  EXPECT_TRUE(UnregisterClassA("Test class", nullptr));
}

}  // namespace
