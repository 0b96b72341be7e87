#include <gtest/gtest.h>

#include <filesystem>

#include "media/FlashPlayer.h"
#include "platform/os/oshost.h"
#include "script/PlayItems.h"
#include "script/Scripter.h"
#include "script/SlotItems.h"
#include "script/TimingItems.h"
#include "support/DeviceReferences.h"
#include "support/SwfBytes.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

LONG Frames(const FlashPlayer* player) {
  LONG frames = -1;
  player->flashWindow().flash->get_TotalFrames(&frames);
  return frames;
}

class FlashSlot : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    saved = fs::current_path();
    fs::current_path(dir.path());
    ASSERT_TRUE(AtlAxWinInit());
    for (auto [name, frames] : {std::pair{"a.swf", 3}, std::pair{"b.swf", 4}}) {
      swf_test::Frame f;
      f.count = static_cast<std::uint16_t>(frames);
      swf_test::WriteFile(name, swf_test::Movie(f));
    }
  }
  void TearDown() override {
    scripter.reset();
    EXPECT_TRUE(AtlAxWinTerm()) << "a Flash player outlived the script player";
    fs::current_path(saved);
  }
  template <class T, class... A>
  void Add(A... args) {
    scripter->items.push_back(std::make_unique<T>(scripter.get(), args...));
  }

  TempDir dir;
  fs::path saved;
  float now = 0;
  RecordedDevice device;
  std::unique_ptr<Scripter> scripter =
      std::make_unique<Scripter>(device.get(), 1024, 768, [this] { return now; });
};

TEST_F(FlashSlot, LoadIntoAnOccupiedSlotReplacesTheMovie) {
  Add<LoadFlash>(std::string("a.swf"), std::string("movie"));
  Add<PlayFlash>(std::string("movie"), 2, 1);
  Add<Wait>(10.0f);
  Add<LoadFlash>(std::string("b.swf"), std::string("movie"));
  Add<Wait>(1000.0f);

  EXPECT_FALSE(scripter->update());
  ASSERT_EQ(scripter->flashes.size(), 1u);
  FlashPlayer* first = scripter->flashes.at("movie").get();
  EXPECT_EQ(scripter->currentFlash, first);
  EXPECT_EQ(Frames(first), 3);
  // Our own reference to the first control: it must end up the last one.
  IShockwaveFlash* firstControl = first->flashWindow().flash;
  firstControl->AddRef();

  now = 20;
  EXPECT_FALSE(scripter->update());
  ASSERT_EQ(scripter->flashes.size(), 1u);
  const FlashPlayer* second = scripter->flashes.at("movie").get();
  EXPECT_EQ(Frames(second), 4);
  EXPECT_EQ(scripter->currentFlash, nullptr);  // the replaced player was current
  EXPECT_EQ(firstControl->Release(), 0u);  // its window and host have let go
  int quality = -1;
  second->flashWindow().flash->get_Quality(&quality);
  EXPECT_EQ(quality, 0);  // a fresh control, not the first one's settings
}

}  // namespace
