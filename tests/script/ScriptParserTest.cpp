#include <gtest/gtest.h>

#include "platform/os/oshost.h"
#include "script/LayerItems.h"
#include "script/PlayItems.h"
#include "script/Scripter.h"
#include "script/SlotItems.h"
#include "script/TimingItems.h"
#include "support/DeviceReferences.h"
#include "support/TempDir.h"

namespace {

class ScriptParser : public ::testing::Test {
 protected:
  RecordedDevice device;
  void SetUp() override { OsSetHeadless(true); }

  // Parses `text` as the main script and returns the Scripter holding its items.
  std::unique_ptr<Scripter> Parse(const std::string& text, float offset = 0) {
    auto scripter = std::make_unique<Scripter>(device.get(), 1024, 768, [] { return 0.0f; });
    std::string path = dir.write("main.psc", text);
    scripter->loadScript(path.c_str(), offset);
    return scripter;
  }

  template <class T>
  static T* Item(const Scripter& s, std::size_t i) {
    EXPECT_LT(i, s.items.size());
    auto* item = i < s.items.size() ? dynamic_cast<T*>(s.items[i].get()) : nullptr;
    EXPECT_NE(item, nullptr) << "item " << i << " has another type";
    return item;
  }

  TempDir dir;
};

TEST_F(ScriptParser, KeywordsAreCaseInsensitiveAndSlotNamesLowerCased) {
  auto s = Parse("WaitUntil 100\nLOADIMAGE Logo.PNG Title\nsetActiveCamera CamA\n");
  ASSERT_EQ(s->items.size(), 3u);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 0)->time, 100.0f);
  EXPECT_EQ(Item<LoadImage>(*s, 1)->fileName, "Logo.PNG");
  EXPECT_EQ(Item<LoadImage>(*s, 1)->slotName, "title");
  EXPECT_EQ(Item<SetActiveCamera>(*s, 2)->cameraName, "CamA");
}

TEST_F(ScriptParser, EveryCommandBuildsItsItemWithItsArguments) {
  auto s = Parse(
      "loadscene a.psk S\nloadflash m.swf F\nloadmusic t.mp3 M\ncreatecolor 300 0 -1 Red\n"
      "settime 1\nsetflashtime 2\nsetscenetime 3\nplayscene S\nplayflash F\nplaymusic M 1500\n"
      "setvolume 200\nsetlayer Red -2\nremovelayer 4\nclearlayers\nsetlayerpos 3 100\n"
      "setlayeralpha 3 0.25\nsetlayerposdelta 3 100 -50.5\nsetlayeralphadelta 3 -0.5\n"
      "setlayeradditive 3 7\nfreescene S\nfreeflash F\nfreemusic M\nfreeimage Red\n"
      "stopscene\nstopflash\nstopmusic\n");
  ASSERT_EQ(s->items.size(), 26u);
  EXPECT_EQ(Item<LoadScene>(*s, 0)->slotName, "s");
  EXPECT_EQ(Item<LoadFlash>(*s, 1)->fileName, "m.swf");
  EXPECT_EQ(Item<LoadMusic>(*s, 2)->slotName, "m");
  auto* color = Item<CreateColor>(*s, 3);
  EXPECT_FLOAT_EQ(color->red, 300.0f * 0.003921569f);
  EXPECT_FLOAT_EQ(color->green, 0.0f);
  EXPECT_FLOAT_EQ(color->blue, 4294967295.0f * 0.003921569f);  // -1 taken as unsigned
  EXPECT_EQ(color->slotName, "red");
  EXPECT_FLOAT_EQ(Item<SetTime>(*s, 4)->time, 1.0f);
  EXPECT_FLOAT_EQ(Item<SetFlashTime>(*s, 5)->time, 2.0f);
  EXPECT_FLOAT_EQ(Item<SetSceneTime>(*s, 6)->time, 3.0f);
  auto* flash = Item<PlayFlash>(*s, 8);
  EXPECT_EQ(flash->quality, 0);
  EXPECT_EQ(flash->mode, 0);
  EXPECT_EQ(Item<PlayMusic>(*s, 9)->startPosition, 1500);
  EXPECT_EQ(Item<SetVolume>(*s, 10)->volume, 200);
  EXPECT_EQ(Item<SetLayer>(*s, 11)->layer, -2);
  EXPECT_EQ(Item<RemoveLayer>(*s, 12)->layer, 4);
  auto* pos = Item<SetLayerPos>(*s, 14);
  EXPECT_FLOAT_EQ(pos->x, 100.0f);
  EXPECT_FLOAT_EQ(pos->y, 0.0f);
  EXPECT_FLOAT_EQ(Item<SetLayerAlpha>(*s, 15)->alpha, 0.25f);
  EXPECT_FLOAT_EQ(Item<SetLayerPosDelta>(*s, 16)->velocityY, -50.5f);
  EXPECT_FLOAT_EQ(Item<SetLayerAlphaDelta>(*s, 17)->alphaVelocity, -0.5f);
  EXPECT_TRUE(Item<SetLayerAdditive>(*s, 18)->additive);
  EXPECT_EQ(Item<FreeImage>(*s, 22)->slotName, "red");
  Item<StopMusic>(*s, 25);
}

TEST_F(ScriptParser, TimesAreWholeMillisecondsPlusTheScriptOffset) {
  auto s = Parse("waituntil 2500.9\nsettime 10\n", 0.5f);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 0)->time, 2500.5f);
  EXPECT_FLOAT_EQ(Item<SetTime>(*s, 1)->time, 10.5f);
}

TEST_F(ScriptParser, IncludesAreParsedInPlaceWithTheirOwnOffset) {
  dir.write("inner.psc", "waituntil 7\n");
  dir.write("middle.psc", "waituntil 1000\ninclude " + dir.file("inner.psc") + " 500\nsettime 0\n");
  auto s = Parse("waituntil 1\ninclude " + dir.file("middle.psc") + " 60000\nwaituntil 2\n" +
                 "include " + dir.file("inner.psc") + " 100\n");
  ASSERT_EQ(s->items.size(), 6u);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 0)->time, 1.0f);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 1)->time, 61000.0f);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 2)->time, 507.0f);  // 500, not 60500
  EXPECT_FLOAT_EQ(Item<SetTime>(*s, 3)->time, 60000.0f);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 4)->time, 2.0f);
  EXPECT_FLOAT_EQ(Item<Wait>(*s, 5)->time, 107.0f);
}

TEST_F(ScriptParser, MissingScriptsAddNothing) {
  auto s = Parse("include nowhere.psc 10\nwaituntil 5\n");
  ASSERT_EQ(s->items.size(), 1u);
  Scripter empty(device.get(), 1024, 768, [] { return 0.0f; });
  empty.loadScript(dir.file("absent.psc").c_str(), 0);
  EXPECT_TRUE(empty.items.empty());
}

TEST_F(ScriptParser, ParsingResetsTheClocks) {
  Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
  s.scriptClockOffset = s.sceneClockOffset = s.flashClockOffset = 99;
  s.nextItem = 3;
  s.loadScript(dir.write("t.psc", "waituntil 1\n").c_str(), 0);
  EXPECT_EQ(s.nextItem, 0u);
  EXPECT_EQ(s.scriptClockOffset + s.sceneClockOffset + s.flashClockOffset, 0.0f);
}

using ScriptParserDeathTest = ScriptParser;

TEST_F(ScriptParserDeathTest, UnknownKeywordEndsTheShowWithItsMessage) {
  std::string path = dir.write("bad.psc", "waituntil 1\nFlyTo 3\n");
  EXPECT_EXIT(
      {
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        s.loadScript(path.c_str(), 0);
      },
      ::testing::ExitedWithCode(0),
      // The threadsafe style reruns the test in the child, with its own folder.
      "Error loading script: Invalid command 'flyto' in script /.*/bad.psc!");
}

TEST_F(ScriptParserDeathTest, TabbedHashIsAnUnknownCommand) {
  std::string path = dir.write("tab.psc", "\t# remark\n");
  EXPECT_EXIT(
      {
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        s.loadScript(path.c_str(), 0);
      },
      ::testing::ExitedWithCode(0), "Invalid command '#' in script");
}

TEST_F(ScriptParserDeathTest, IncludeCycleStopsWithAMessageInsteadOfOverflowing) {
  std::string path = dir.file("loop.psc");
  dir.write("loop.psc", "waituntil 1\ninclude " + path + " 0\n");
  EXPECT_EXIT(
      {
        Scripter s(device.get(), 1024, 768, [] { return 0.0f; });
        s.loadScript(path.c_str(), 0);
      },
      ::testing::ExitedWithCode(0), "Error loading script: Scripts include each other too deeply");
}

}  // namespace
