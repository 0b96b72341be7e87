// Checking every Direct3D call in tests: ASSERT_HR(call) and EXPECT_HR(call) fail with
// the call's text and the result's name unless it returns D3D_OK; ASSERT_HR_EQ and
// EXPECT_HR_EQ(expected, call) check for one result, a refusal included.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/d3d9/d3d9.h"

inline std::string HResultName(HRESULT hr) {
  switch (hr) {
#define SHOW_HR_NAME(code) \
  case code:               \
    return #code;
    SHOW_HR_NAME(S_OK)
    SHOW_HR_NAME(E_FAIL)
    SHOW_HR_NAME(E_NOINTERFACE)
    SHOW_HR_NAME(E_OUTOFMEMORY)
    SHOW_HR_NAME(D3DERR_WRONGTEXTUREFORMAT)
    SHOW_HR_NAME(D3DERR_UNSUPPORTEDCOLOROPERATION)
    SHOW_HR_NAME(D3DERR_UNSUPPORTEDCOLORARG)
    SHOW_HR_NAME(D3DERR_UNSUPPORTEDALPHAOPERATION)
    SHOW_HR_NAME(D3DERR_UNSUPPORTEDALPHAARG)
    SHOW_HR_NAME(D3DERR_TOOMANYOPERATIONS)
    SHOW_HR_NAME(D3DERR_CONFLICTINGRENDERSTATE)
    SHOW_HR_NAME(D3DERR_DRIVERINTERNALERROR)
    SHOW_HR_NAME(D3DERR_NOTFOUND)
    SHOW_HR_NAME(D3DERR_MOREDATA)
    SHOW_HR_NAME(D3DERR_DEVICELOST)
    SHOW_HR_NAME(D3DERR_DEVICENOTRESET)
    SHOW_HR_NAME(D3DERR_NOTAVAILABLE)
    SHOW_HR_NAME(D3DERR_OUTOFVIDEOMEMORY)
    SHOW_HR_NAME(D3DERR_INVALIDDEVICE)
    SHOW_HR_NAME(D3DERR_INVALIDCALL)
    SHOW_HR_NAME(D3DERR_DRIVERINVALIDCALL)
    SHOW_HR_NAME(D3DERR_WASSTILLDRAWING)
#undef SHOW_HR_NAME
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "HRESULT 0x%08x", static_cast<unsigned>(hr));
      return text;
    }
  }
}

inline ::testing::AssertionResult HResultOk(const char* call, HRESULT hr) {
  if (hr == D3D_OK) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << call << " returned " << HResultName(hr);
}

inline ::testing::AssertionResult HResultIs(const char* expectedText, const char* call,
                                            HRESULT expected, HRESULT hr) {
  if (hr == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << call << " returned " << HResultName(hr) << ", not "
                                       << expectedText << " (" << HResultName(expected) << ")";
}

#define ASSERT_HR(call) ASSERT_PRED_FORMAT1(HResultOk, call)
#define EXPECT_HR(call) EXPECT_PRED_FORMAT1(HResultOk, call)
#define EXPECT_HR_EQ(expected, call) EXPECT_PRED_FORMAT2(HResultIs, expected, call)
#define ASSERT_HR_EQ(expected, call) ASSERT_PRED_FORMAT2(HResultIs, expected, call)
