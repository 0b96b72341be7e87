#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "scene/loading/Configuration.h"
#include "scene/loading/KeyframeFloatController.h"
#include "scene/AnimationTestSupport.h"
#include "scene/SceneModelFixture.h"

namespace {

class LoadAnimationsTest : public SceneModelTest {
 protected:
  // The controllers built from `text` on the stand-in target.
  std::vector<KeyframeFloatController*> Load(const std::string& text, float offset = 0,
                                             float scale = 1) {
    Configuration properties;
    properties.Parse(text);
    const std::size_t before = graph->controllers.size();
    target.LoadAnimations(graph.get(), properties, offset, scale);
    std::vector<KeyframeFloatController*> made;
    for (std::size_t i = before; i < graph->controllers.size(); ++i)
      made.push_back(dynamic_cast<KeyframeFloatController*>(graph->controllers[i].get()));
    return made;
  }
  using Keys = std::vector<std::pair<float, float>>;
  static Keys KeysOf(const KeyframeFloatController* c) {
    Keys keys;
    for (const auto& k : c->keys) keys.emplace_back(k.time, k.value);
    return keys;
  }

  FloatTarget target;
  const std::string twoKeys =
      "Animations=1\na0.field=Value\na0.keyframes=2\na0.kf0=0 1\na0.kf1=1000 0\n";
};

TEST_F(LoadAnimationsTest, KeysAreMappedByOffsetAndScale) {
  auto made = Load(twoKeys);
  ASSERT_EQ(made.size(), 1u);
  ASSERT_NE(made[0], nullptr);
  EXPECT_EQ(made[0]->field, &target.value);
  EXPECT_FALSE(made[0]->looping);
  EXPECT_EQ(KeysOf(made[0]), (Keys{{0, 1}, {1000, 0}}));
  graph->SetTime(250);  // driven by the scene time through the graph
  EXPECT_FLOAT_EQ(target.value, 0.75f);
  made = Load(twoKeys, 500, 2);
  EXPECT_EQ(KeysOf(made[0]), (Keys{{500, 1}, {2500, 0}}));
  // Times stay floats: 0.5 * 3 + 0.25.
  made = Load("animations=1\na0.field=Value\na0.keyframes=1\na0.kf0=0.5 4\n", 0.25f, 3);
  EXPECT_EQ(KeysOf(made[0]), (Keys{{1.75f, 4}}));
}

TEST_F(LoadAnimationsTest, LoopingOnlyForExactlyOne) {
  const std::string body = "\na0.field=Value\na1.field=Value\na2.field=Value\n";
  auto made = Load("animations=3\na0.looping=1\na1.looping=2\n" + body);
  ASSERT_EQ(made.size(), 3u);
  EXPECT_TRUE(made[0]->looping);
  EXPECT_FALSE(made[1]->looping);
  EXPECT_FALSE(made[2]->looping);  // missing
}

TEST_F(LoadAnimationsTest, KeyValuesSplitAtRunsOfSpaces) {
  auto made = Load(
      "animations=1\na0.field=Value\na0.keyframes=5\n"
      "a0.kf0=250\n"             // one number: value 0
      "a0.kf1=   \n"             // nothing: no key
      "a0.kf2=300    7  99\n"    // a run of spaces; a third piece is dropped
      "a0.kf4=x 2\n");           // no number reads as 0
  EXPECT_EQ(KeysOf(made[0]), (Keys{{250, 0}, {300, 7}, {0, 2}}));  // kf3 missing
}

TEST_F(LoadAnimationsTest, KeysFollowTheirNumbersAndTheCounts) {
  auto made = Load(
      "ANIMATIONS=2\nA1.FIELD=Value\na1.keyframes=11\n"
      "a1.kf10=10 10\na1.kf2=2 2\na1.kf11=11 11\na1.kf02=5 5\na0.field=Value\n");
  ASSERT_EQ(made.size(), 2u);
  EXPECT_TRUE(made[0]->keys.empty());  // animation 0 has no key count
  // kf2 before kf10 (numeric order); kf11 is past the count; kf02 is not a key name.
  EXPECT_EQ(KeysOf(made[1]), (Keys{{2, 2}, {10, 10}}));
  EXPECT_TRUE(Load("animations=0\na0.field=Value\n").empty());
  EXPECT_TRUE(Load("animations=-3\na0.field=Value\n").empty());
}

TEST_F(LoadAnimationsTest, AnimationWithoutAFieldIsSkipped) {
  auto made = Load("animations=2\na0.keyframes=1\na0.kf0=1 1\na1.field=Value\n");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0]->field, &target.value);
  EXPECT_TRUE(made[0]->keys.empty());
}

TEST_F(LoadAnimationsTest, HugeCountsCostOnlyWhatIsPresent) {
  const auto start = std::chrono::steady_clock::now();
  auto made = Load(
      "animations=2147483647\na0.field=Value\na0.keyframes=2147483647\n"
      "a0.kf0=0 1\na0.kf2147483646=9 9\na2147483646.field=Value\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(KeysOf(made[0]), (Keys{{0, 1}, {9, 9}}));
}

TEST_F(LoadAnimationsTest, UnknownFieldOfANodeEndsTheShow) {
  Group* node = Node<Group>("n");
  Configuration properties;
  properties.Parse("animations=1\na0.field=vistrack\n");  // names are case-sensitive
  EXPECT_SCENE_FATAL(node->LoadAnimations(graph.get(), properties, 0, 1),
                     "Group: Invalid control field!");
}

}  // namespace
