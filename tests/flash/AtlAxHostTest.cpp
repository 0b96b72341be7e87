#include <gtest/gtest.h>

#include "platform/flash/atlhost.h"
#include "platform/flash/flash.h"
#include "platform/os/oshost.h"

namespace {

constexpr OLECHAR kFlashClass[] = u"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

class AtlAxHost : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    ASSERT_TRUE(AtlAxWinInit());
  }
  void TearDown() override { EXPECT_TRUE(AtlAxWinTerm()); }

  static CComPtr<IAxWinHostWindow> HostOf(const CAxWindow& window) {
    CComPtr<IAxWinHostWindow> host;
    EXPECT_EQ(window.QueryHost(IID_IAxWinHostWindow, reinterpret_cast<void**>(&host)), S_OK);
    return host;
  }
  static constexpr RECT kRect{0, 0, 1024, 768};
};

TEST_F(AtlAxHost, HostWindowCreatesTheControlByItsClassString) {
  CAxWindow window;
  ASSERT_NE(window.Create(nullptr, kRect, nullptr, WS_POPUP, 0), nullptr);
  RECT client{};
  ASSERT_TRUE(GetClientRect(window.m_hWnd, &client));
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 768);

  auto host = HostOf(window);
  ASSERT_TRUE(host);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(host->QueryControl(IID_IShockwaveFlash, &none), E_FAIL);  // nothing hosted yet
  EXPECT_EQ(none, nullptr);

  CComPtr<IUnknown> control;
  ASSERT_EQ(host->CreateControlEx(kFlashClass, window.m_hWnd, nullptr, &control, IID_NULL, nullptr),
            S_OK);
  CComPtr<IShockwaveFlash> flash;
  ASSERT_EQ(window.QueryControl(IID_IShockwaveFlash, reinterpret_cast<void**>(&flash)), S_OK);
  CComPtr<IUnknown> identity;
  flash->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  EXPECT_EQ(identity.p, control.p);
}

TEST_F(AtlAxHost, DestroyingTheWindowReleasesHostAndControl) {
  CAxWindow window;
  ASSERT_NE(window.Create(nullptr, kRect, nullptr, WS_POPUP, 0), nullptr);
  HWND handle = window.m_hWnd;
  IUnknown* control = nullptr;
  ASSERT_EQ(HostOf(window)->CreateControlEx(kFlashClass, handle, nullptr, &control, IID_NULL,
                                            nullptr),
            S_OK);
  // While the window lives the library cannot be shut down.
  EXPECT_FALSE(AtlAxWinTerm());

  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.m_hWnd, nullptr);
  IUnknown* host = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(AtlAxGetHost(handle, &host), E_FAIL);
  EXPECT_EQ(host, nullptr);
  // The host has let go: ours was the last reference.
  EXPECT_EQ(control->Release(), 0u);
}

TEST_F(AtlAxHost, UnsupportedRequestsAreRefused) {
  CAxWindow window;
  ASSERT_NE(window.Create(nullptr, kRect, nullptr, WS_POPUP, 0), nullptr);
  CAxWindow other;
  ASSERT_NE(other.Create(nullptr, kRect, nullptr, WS_POPUP, 0), nullptr);
  auto host = HostOf(window);
  IUnknown* control = reinterpret_cast<IUnknown*>(1);
  auto create = [&](LPCOLESTR name, HWND target, IUnknown* sink = nullptr,
                    const IID& advise = IID_NULL) {
    return host->CreateControlEx(name, target, nullptr, &control, advise, sink);
  };
  EXPECT_EQ(create(u"ShockwaveFlash.ShockwaveFlash", window.m_hWnd), CO_E_CLASSSTRING);
  EXPECT_EQ(create(u"{00000000-0000-0000-0000-000000000001}", window.m_hWnd),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(create(nullptr, window.m_hWnd), E_INVALIDARG);
  EXPECT_EQ(create(kFlashClass, other.m_hWnd), E_INVALIDARG);
  EXPECT_EQ(create(kFlashClass, window.m_hWnd, host), E_NOTIMPL);
  EXPECT_EQ(create(kFlashClass, window.m_hWnd, nullptr, IID_IShockwaveFlash), E_NOTIMPL);
  EXPECT_EQ(control, nullptr);
  // A wrapper makes one window only.
  EXPECT_EQ(window.Create(nullptr, kRect, nullptr, WS_POPUP, 0), nullptr);
}

TEST(AtlAxModule, HostWindowsNeedTheLibraryAndInitialisationNests) {
  OsSetHeadless(true);
  CAxWindow early;
  EXPECT_EQ(early.Create(nullptr, RECT{0, 0, 8, 8}, nullptr, WS_POPUP, 0), nullptr);
  EXPECT_FALSE(AtlAxWinTerm());
  ASSERT_TRUE(AtlAxWinInit());
  ASSERT_TRUE(AtlAxWinInit());
  EXPECT_TRUE(AtlAxWinTerm());
  CAxWindow window;
  EXPECT_NE(window.Create(nullptr, RECT{0, 0, 8, 8}, nullptr, WS_POPUP, 0), nullptr);
  window.DestroyWindow();
  EXPECT_TRUE(AtlAxWinTerm());
  EXPECT_EQ(early.Create(nullptr, RECT{0, 0, 8, 8}, nullptr, WS_POPUP, 0), nullptr);
  // A window of another class has no host.
  IUnknown* host = nullptr;
  EXPECT_EQ(AtlAxGetHost(nullptr, &host), E_FAIL);
}

}  // namespace
