#include <gtest/gtest.h>

#include <vector>

#include "scene/Camera.h"
#include "scene/loading/CameraActivatorController.h"
#include "scene/SceneModelFixture.h"

namespace {

class CameraActivatorTest : public SceneModelTest {
 protected:
  void SetUp() override {
    SceneModelTest::SetUp();
    first = Node<Camera>("first");
    second = Node<Camera>("second");
    first->Update(true);
    second->Update(true);
  }
  std::unique_ptr<CameraActivatorController> Activator(Camera* camera, bool looping,
                                                       std::vector<std::uint32_t> times,
                                                       std::uint32_t animEnd) {
    auto c = std::make_unique<CameraActivatorController>(camera, looping);
    for (std::uint32_t t : times) c->AddSwitchTime(t);
    c->Finish();
    c->timing.loopLength = animEnd;
    return c;
  }
  // Evaluates `c` at `t` with `other` active; true when it switched to its camera.
  bool SwitchesAt(CameraActivatorController& c, float t, Camera* other) {
    graph->SetActiveCamera(other);
    c.Evaluate(t);
    return graph->activeCamera == c.camera;
  }

  Camera* first = nullptr;
  Camera* second = nullptr;
};

TEST_F(CameraActivatorTest, SwitchesOnceAtEachTimeWithoutLooping) {
  auto c = Activator(first, false, {100, 300}, 1000);
  EXPECT_EQ(c->nextSwitch, 100u);
  EXPECT_FALSE(SwitchesAt(*c, 100, second));  // not greater than the time
  EXPECT_TRUE(SwitchesAt(*c, 101, second));
  EXPECT_TRUE(first->active);
  EXPECT_FALSE(second->active);
  EXPECT_EQ(c->nextSwitch, 300u);
  EXPECT_FALSE(SwitchesAt(*c, 200, second));
  EXPECT_TRUE(SwitchesAt(*c, 300.5f, second));
  EXPECT_EQ(c->nextSwitch, 0xFFFFFFFFu);
  EXPECT_FALSE(SwitchesAt(*c, 900, second));
  EXPECT_FALSE(SwitchesAt(*c, 1100, second));
  EXPECT_FALSE(SwitchesAt(*c, 1e12f, second));
}

TEST_F(CameraActivatorTest, LoopingStartsTheNextCycle) {
  auto c = Activator(first, true, {100, 300}, 1000);
  EXPECT_TRUE(SwitchesAt(*c, 150, second));
  EXPECT_TRUE(SwitchesAt(*c, 350, second));
  EXPECT_EQ(c->cycleBase, 1000u);
  EXPECT_EQ(c->nextSwitch, 1100u);
  EXPECT_FALSE(SwitchesAt(*c, 1050, second));
  EXPECT_TRUE(SwitchesAt(*c, 1101, second));
  EXPECT_EQ(c->nextSwitch, 1300u);
  EXPECT_TRUE(SwitchesAt(*c, 1301, second));
  EXPECT_EQ(c->nextSwitch, 2100u);
}

TEST_F(CameraActivatorTest, SwitchTimesAreSortedAndNeverRewound) {
  auto c = Activator(first, false, {300, 100, 200}, 1000);
  EXPECT_EQ(c->switchTimes, (std::vector<std::uint32_t>{100, 200, 300}));
  EXPECT_EQ(c->nextSwitch, 100u);
  // A late first evaluation switches once and moves to the next time only.
  EXPECT_TRUE(SwitchesAt(*c, 250, second));
  EXPECT_EQ(c->nextSwitch, 200u);
  EXPECT_TRUE(SwitchesAt(*c, 250, second));
  EXPECT_EQ(c->nextSwitch, 300u);
  // An earlier time does not undo anything.
  EXPECT_FALSE(SwitchesAt(*c, 50, second));
  EXPECT_EQ(c->nextSwitch, 300u);
}

TEST_F(CameraActivatorTest, TwoActivatorsTakeTurns) {
  auto a = Activator(first, false, {100, 500}, 1000);
  auto b = Activator(second, false, {300}, 1000);
  for (float t : {150.0f, 350.0f, 550.0f}) {
    a->Evaluate(t);
    b->Evaluate(t);
    EXPECT_EQ(graph->activeCamera, t < 300 ? first : t < 500 ? second : first) << t;
  }
}

TEST_F(CameraActivatorTest, ZeroLoopLengthReArmsAtTheFirstSwitchTime) {
  auto c = Activator(first, true, {100}, 0);
  EXPECT_FALSE(SwitchesAt(*c, 100, second));
  EXPECT_TRUE(SwitchesAt(*c, 150, second));
  EXPECT_EQ(c->nextSwitch, 100u);  // the same cycle again
  EXPECT_EQ(c->cycleBase, 0u);
  // Every later evaluation makes it active again, one switch each, at any time.
  EXPECT_TRUE(SwitchesAt(*c, 151, second));
  EXPECT_TRUE(SwitchesAt(*c, 5e9f, second));
  // Two times: each evaluation moves one step along them, then starts over.
  auto two = Activator(first, true, {100, 300}, 0);
  EXPECT_TRUE(SwitchesAt(*two, 400, second));
  EXPECT_EQ(two->nextSwitch, 300u);
  EXPECT_TRUE(SwitchesAt(*two, 401, second));
  EXPECT_EQ(two->nextSwitch, 100u);
  EXPECT_FALSE(SwitchesAt(*two, 50, second));  // not past the next time
  // Not looping, the zero end ends every activation past 0.
  auto once = Activator(first, false, {100}, 0);
  EXPECT_FALSE(SwitchesAt(*once, 150, second));
  auto none = Activator(first, true, {}, 1000);
  EXPECT_FALSE(SwitchesAt(*none, 5e9f, second));
}

}  // namespace
