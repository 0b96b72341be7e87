#include <gtest/gtest.h>

#include <cmath>

#include "scene/loading/PRSController.h"
#include "scene/SceneModelFixture.h"

namespace {

class PRSControllerTest : public SceneModelTest {
 protected:
  void SetUp() override {
    SceneModelTest::SetUp();
    node = Node<Group>("mover");
    child = Node<Group>("rider", node->id);
    child->transform.position = D3DXVECTOR3(0, 5, 0);
    graph->root = node;
    node->Link();
    child->Link();
    node->Update(true);
    controller = std::make_unique<PRSController>(node);
  }
  // Eleven keys over 0..1000 whose x is the key number squared, so a key used
  // alone and a blend of its neighbours differ.
  void ElevenKeys() {
    for (int k = 0; k <= 10; ++k) {
      Transform key;
      key.position = D3DXVECTOR3(static_cast<float>(k * k), 0, 0);
      key.scale = D3DXVECTOR3(1.0f + k, 1, 1);
      controller->keys.push_back(key);
    }
    controller->timing.keyStart = 0;
    controller->timing.keyEnd = 1000;
  }
  float XAt(float t) {
    controller->Evaluate(t);
    return node->transform.position.x;
  }

  Group* node = nullptr;
  Group* child = nullptr;
  std::unique_ptr<PRSController> controller;
};

TEST_F(PRSControllerTest, ElevenKeysUseOneKeyOrBlendTwo) {
  ElevenKeys();
  EXPECT_EQ(XAt(500), 25.0f);  // key 5 alone
  EXPECT_EQ(node->transform.scale.x, 6.0f);
  EXPECT_FLOAT_EQ(XAt(250), 6.5f);  // keys 2 and 3 at f = 0.5
  EXPECT_FLOAT_EQ(node->transform.scale.x, 3.5f);
  EXPECT_EQ(XAt(-10), 0.0f);
  EXPECT_EQ(XAt(1000), 100.0f);
  EXPECT_EQ(XAt(4000), 100.0f);
}

TEST_F(PRSControllerTest, LoopsAndUpdatesTheSubtree) {
  ElevenKeys();
  controller->timing.looping = true;
  controller->timing.loopLength = 1000;
  EXPECT_EQ(XAt(1500), 25.0f);   // evaluated as 500
  EXPECT_EQ(XAt(1000), 100.0f);  // not wrapped
  // Update(true) reached the node and its child: world matrices follow the key.
  controller->Evaluate(500);
  EXPECT_EQ(node->worldMatrix._41, 25.0f);
  EXPECT_EQ(child->worldMatrix._41, 25.0f);
  EXPECT_EQ(child->worldMatrix._42, 5.0f);
}

TEST_F(PRSControllerTest, HalfwayBetweenIdentityAndAHalfTurnIsAQuarterTurn) {
  Transform k0, k1;
  k1.rotation = D3DXQUATERNION(0, 1, 0, 0);  // half a turn about y
  controller->keys = {k0, k1};
  controller->timing.keyEnd = 1000;
  controller->Evaluate(500);
  const D3DXQUATERNION& q = node->transform.rotation;
  const float s = std::sqrt(0.5f);
  EXPECT_NEAR(q.x, 0, 1e-6);
  EXPECT_NEAR(q.y, s, 1e-6);
  EXPECT_NEAR(q.z, 0, 1e-6);
  EXPECT_NEAR(q.w, s, 1e-6);
  // A quarter turn about y takes the node's +z to +x.
  D3DXVECTOR3 z(0, 0, 1), turned;
  D3DXVec3TransformNormal(&turned, &z, &node->worldMatrix);
  EXPECT_NEAR(turned.x, 1, 1e-5);
  EXPECT_NEAR(turned.z, 0, 1e-5);
}

TEST_F(PRSControllerTest, OneKeyIsCopiedWholeAndNoKeysChangeNothing) {
  node->transform.position = D3DXVECTOR3(7, 8, 9);
  controller->Evaluate(100);
  EXPECT_EQ(node->transform.position.x, 7.0f);
  Transform only;
  only.position = D3DXVECTOR3(1, 2, 3);
  only.rotation = D3DXQUATERNION(0, 0, 1, 0);
  only.scale = D3DXVECTOR3(2, 2, 2);
  controller->keys = {only};
  controller->timing.keyStart = controller->timing.keyEnd = 300;  // a range of one instant
  controller->Evaluate(300);
  EXPECT_EQ(node->transform.position.z, 3.0f);
  EXPECT_EQ(node->transform.rotation.z, 1.0f);
  EXPECT_EQ(node->transform.scale.y, 2.0f);
  EXPECT_EQ(node->worldMatrix._43, 3.0f);
}

TEST_F(PRSControllerTest, RangeWhoseEndEqualsItsStartUsesTheFirstKeyAtThatInstant) {
  ElevenKeys();
  controller->timing.keyStart = controller->timing.keyEnd = 400;
  EXPECT_EQ(XAt(399), 0.0f);
  EXPECT_EQ(XAt(400), 0.0f);
  EXPECT_EQ(XAt(401), 100.0f);
}

}  // namespace
