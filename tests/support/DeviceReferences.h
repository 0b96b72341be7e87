// The end of every graphics test, as Wine's Direct3D tests end: the test lets go of its
// device and the device must have no reference left, which proves every object made on
// it was released too (each holds its device while the application holds it).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/d3d9/d3d9.h"
#include "support/RecordingDevice.h"

// Releases the test's own reference to `object`; a failure names what is left.
inline ::testing::AssertionResult ReleaseToZero(IUnknown* object, const char* what) {
  if (!object) return ::testing::AssertionSuccess();
  const ULONG left = object->Release();
  if (left == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << what << " has " << left << " references left";
}

// The recording device also names the objects still alive.
inline ::testing::AssertionResult ReleaseToZero(RecordingDevice* device) {
  if (!device) return ::testing::AssertionSuccess();
  const std::string live = device->LiveObjects();
  const ULONG left = device->Release();
  if (left == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "Device has " << left << " references left; alive:\n"
                                       << live;
}

// A recording device for the length of a test (or fixture): declared before what uses
// it, it ends after them and checks that they let go of everything and that the
// device refused nothing (a test that provokes refusals clears the record).
class RecordedDevice {
 public:
  explicit RecordedDevice(UINT width = 1024, UINT height = 768, D3DFORMAT depth = D3DFMT_D24S8)
      : device(new RecordingDevice(width, height, depth)) {}
  ~RecordedDevice() {
    EXPECT_TRUE(device->refusals.empty()) << ::testing::PrintToString(device->refusals);
    EXPECT_TRUE(ReleaseToZero(device));
  }
  RecordedDevice(const RecordedDevice&) = delete;
  RecordedDevice& operator=(const RecordedDevice&) = delete;

  RecordingDevice* operator->() const { return device; }
  RecordingDevice* get() const { return device; }

 private:
  RecordingDevice* device;
};
