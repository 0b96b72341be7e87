// The graphics test device's teardown: a test that keeps an object past its end fails
// with the count of references its device still has, as Wine's Direct3D tests report.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

#include "d3d9/D3D9TestDevice.h"
#include "support/HResult.h"

namespace {

TEST(Teardown, AnObjectKeptPastTheEndFailsTheTestDevice) {
  IDirect3DTexture9* kept = nullptr;
  ::testing::TestPartResultArray failures;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    TestDevice device(8, 8);
    ASSERT_TRUE(device.ok());
    ASSERT_HR(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &kept, nullptr));
  }
  ASSERT_NE(kept, nullptr);
  // The device, and through it the Direct3D object, are still held.
  ASSERT_EQ(failures.size(), 2);
  EXPECT_NE(
      std::string(failures.GetTestPartResult(0).message()).find("Device has 1 references left"),
      std::string::npos)
      << failures.GetTestPartResult(0).message();
  EXPECT_NE(std::string(failures.GetTestPartResult(1).message())
                .find("Direct3D object has 1 references left"),
            std::string::npos)
      << failures.GetTestPartResult(1).message();
  EXPECT_EQ(kept->Release(), 0u);  // takes the device and the Direct3D object with it
}

}  // namespace
