// Scene nodes: transform composition, linking (late references, missing parents,
// objects of the wrong class, cycles), world matrices and the bounding-sphere
// rule, both align modes, culling with the hand-over to a pipeline, and the
// control field.
#include <cmath>

#include "SceneModelFixture.h"
#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "scene/Transform.h"

namespace {

using GroupTest = SceneModelTest;

D3DXVECTOR3 Apply(const D3DXMATRIX& m, float x, float y, float z) {
  const D3DXVECTOR3 p(x, y, z);
  D3DXVECTOR3 out;
  D3DXVec3TransformCoord(&out, &p, &m);
  return out;
}

void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-5f);
  EXPECT_NEAR(v.y, y, 1e-5f);
  EXPECT_NEAR(v.z, z, 1e-5f);
}

const float kQuarterTurn = 1.5707964f;

TEST(TransformTest, ComposesScaleThenRotationThenTranslation) {
  Transform t;
  t.scale = D3DXVECTOR3(2, 3, 1);
  t.rotation = AxisRotation(0, 0, 1, kQuarterTurn);  // x onto y
  t.position = D3DXVECTOR3(5, 0, 0);
  const D3DXMATRIX m = t.Compose();
  // Scaled along x first (2), then turned onto y: rotating first would scale by 3.
  ExpectVector(Apply(m, 1, 0, 0), 5, 2, 0);
  ExpectVector(Apply(m, 0, 1, 0), 5 - 3, 0, 0);
  EXPECT_EQ(m._44, 1.0f);
  EXPECT_EQ(m._14, 0.0f);

  const D3DXMATRIX identity = Transform{}.Compose();
  D3DXMATRIX expected;
  D3DXMatrixIdentity(&expected);
  EXPECT_MATRIX_NEAR(identity, expected, 0.0f);
}

TEST_F(GroupTest, LinkBuildsChildrenListsInRegistrationOrderWithLateParents) {
  // Children registered before their parent: the reference resolves at link time.
  Group* first = Node<Group>("first", 2);
  Group* second = Node<Group>("second", 2);
  Group* parent = Node<Group>("parent");
  EXPECT_EQ(first->parent.Resolve(), parent);
  for (auto& object : graph->objects) object->Link();
  EXPECT_TRUE(parent->children == (std::vector<Group*>{first, second}));
  EXPECT_TRUE(first->children.empty());
}

TEST_F(GroupTest, ReferenceToAnObjectRegisteredLaterResolvesOnceItExists) {
  Group* child = Node<Group>("child", 1);
  EXPECT_EQ(child->parent.Resolve(), nullptr);  // not cached as missing
  Group* parent = Node<Group>("parent");
  EXPECT_EQ(child->parent.Resolve(), parent);
  EXPECT_EQ(child->parent.target, parent);
  child->parent.Set(-1);
  EXPECT_EQ(child->parent.Resolve(), nullptr);
}

TEST_F(GroupTest, IdsWhoseLowSixteenBitsAreOnesMeanNoParent) {
  // Even a node that carries such an id is not taken as the parent.
  Group* odd = graph->Create<Group>(0x0001FFFF);
  Group* child = Node<Group>("child", 0x0001FFFF);
  Group* missing = Node<Group>("missing", 0x0002FFFF);
  child->Link();
  missing->Link();  // no lookup, so no fatal end
  EXPECT_TRUE(odd->children.empty());
}

TEST_F(GroupTest, MissingParentEndsTheShowNamingTheNode) {
  Group* orphan = Node<Group>("Orphan", 42);
  EXPECT_SCENE_FATAL(
      orphan->Link(),
      Literally("Error: The parent of node \"Orphan\": scene object 42 does not exist"));
}

TEST_F(GroupTest, ParentOfAnotherClassEndsTheShow) {
  graph->Create<RecordingProcessor>(graph->NextId());  // id 0, not a node
  Group* child = Node<Group>("child", 0);
  EXPECT_SCENE_FATAL(
      child->Link(),
      Literally("Error: Scene object 0 is used as a node but is another kind of object"));
}

TEST_F(GroupTest, NodeAmongItsOwnAncestorsEndsTheShow) {
  Group* self = Node<Group>("Loop", 0);
  EXPECT_SCENE_FATAL(self->Link(), Literally("Error: Node \"Loop\" is its own ancestor"));
  Group* a = Node<Group>("A", 2);
  Node<Group>("B", 1);
  EXPECT_SCENE_FATAL(a->Link(), Literally("Node \"A\" is its own ancestor"));
}

TEST_F(GroupTest, NestingIsBoundedSoTheRecursiveWalksCannotExhaustTheStack) {
  Group* top = Node<Group>("top");
  Group* last = top;
  for (int i = 0; i < Group::kMaxAncestors; ++i) {
    last = Node<Group>("link", last->id);
    last->transform.position = D3DXVECTOR3(0, 0, 1);
  }
  for (auto& object : graph->objects) object->Link();  // the deepest allowed
  top->Update(true);
  EXPECT_FLOAT_EQ(last->worldMatrix._43, float(Group::kMaxAncestors));
  Group* tooDeep = Node<Group>("tooDeep", last->id);
  EXPECT_SCENE_FATAL(tooDeep->Link(),
                     Literally("Error: Node \"tooDeep\" is nested more than 1024 levels deep"));
}

TEST_F(GroupTest, WorldMatrixIsLocalTimesParentWorld) {
  Group* parent = Node<Group>("parent");
  parent->transform.position = D3DXVECTOR3(10, 0, 0);
  parent->transform.rotation = AxisRotation(0, 0, 1, kQuarterTurn);
  Group* child = Node<Group>("child", parent->id);
  child->transform.position = D3DXVECTOR3(1, 0, 0);
  child->Link();
  parent->Update(true);
  // The child's offset is turned by the parent, then moved with it.
  ExpectVector(D3DXVECTOR3(child->worldMatrix._41, child->worldMatrix._42, child->worldMatrix._43),
               10, 1, 0);
  D3DXMATRIX expected;
  D3DXMatrixMultiply(&expected, &child->localMatrix, &parent->worldMatrix);
  EXPECT_MATRIX_NEAR(child->worldMatrix, expected, 1e-6f);
}

TEST_F(GroupTest, UpdateWithoutRecursionChangesNothing) {
  Group* node = Node<Group>("node");
  node->transform.position = D3DXVECTOR3(1, 2, 3);
  node->Update(false);
  EXPECT_EQ(node->worldMatrix._41, 0.0f);
  node->Update(true);
  EXPECT_EQ(node->worldMatrix._41, 1.0f);
}

TEST_F(GroupTest, BoundAddsSquaredChildRadiusAndSquaredDistance) {
  Group* top = Node<Group>("top");
  Group* middle = Node<Group>("middle", top->id);
  middle->transform.position = D3DXVECTOR3(3, 0, 0);
  Group* leaf = Node<Group>("leaf", middle->id);
  leaf->transform.position = D3DXVECTOR3(0, 4, 0);
  for (auto& object : graph->objects) object->Link();
  top->Update(true);
  EXPECT_FLOAT_EQ(leaf->boundRadiusSq, 0.0f);  // no mesh, no children
  EXPECT_FLOAT_EQ(middle->boundRadiusSq, 16.0f);
  // 16 + 3²: the sum of squares, not (4 + 3)².
  EXPECT_FLOAT_EQ(top->boundRadiusSq, 25.0f);

  // The largest child term wins.
  Group* far = Node<Group>("far", top->id);
  far->transform.position = D3DXVECTOR3(0, 0, -6);
  far->Link();
  top->Update(true);
  EXPECT_FLOAT_EQ(top->boundRadiusSq, 36.0f);
}

TEST_F(GroupTest, MeshRadiusIsTakenAlongTheWorldXAxis) {
  Mesh* mesh = graph->Create<Mesh>(graph->NextId());
  mesh->radiusSq = 2;
  Group* node = Node<Group>("node");
  node->mesh = mesh;
  node->transform.position = D3DXVECTOR3(50, 60, 70);  // no part in the radius
  node->transform.scale = D3DXVECTOR3(3, 10, 10);
  node->Update(true);
  // (2, 0, 0) through the 3x3 part: only the x scale counts.
  EXPECT_FLOAT_EQ(node->boundRadiusSq, 36.0f);
  node->transform.rotation = AxisRotation(0, 0, 1, 0.7f);
  node->Update(true);
  EXPECT_FLOAT_EQ(node->boundRadiusSq, 36.0f);

  // A child's term replaces the mesh's only when larger.
  Group* child = Node<Group>("child", node->id);
  child->transform.position = D3DXVECTOR3(0.1f, 0, 0);  // 0.3 away once scaled
  child->Link();
  node->Update(true);
  EXPECT_FLOAT_EQ(node->boundRadiusSq, 36.0f);
}

TEST_F(GroupTest, AlignModeTwoFollowsOnlyTheParentPosition) {
  Group* parent = Node<Group>("parent");
  parent->transform.position = D3DXVECTOR3(1, 0, 0);
  parent->transform.rotation = AxisRotation(0, 0, 1, kQuarterTurn);
  parent->transform.scale = D3DXVECTOR3(2, 2, 2);
  Group* child = Node<Group>("child", parent->id);
  child->transform.position = D3DXVECTOR3(1, 0, 0);
  child->transform.rotation = AxisRotation(1, 0, 0, 0.5f);
  child->alignMode = AlignMode::kFollowParentPosition;
  child->Link();
  parent->Update(true);
  // Own rotation dropped, parent's rotation and scale dropped, position carried.
  EXPECT_FLOAT_EQ(child->transform.rotation.w, 1.0f);
  EXPECT_FLOAT_EQ(child->transform.rotation.x, 0.0f);
  D3DXMATRIX expected;
  D3DXMatrixTranslation(&expected, 1, 2, 0);
  EXPECT_MATRIX_NEAR(child->worldMatrix, expected, 1e-5f);

  // Without a parent the node's own scale is kept.
  Group* loose = Node<Group>("loose");
  loose->alignMode = AlignMode::kFollowParentPosition;
  loose->transform.rotation = AxisRotation(0, 1, 0, 0.3f);
  loose->transform.scale = D3DXVECTOR3(3, 3, 3);
  loose->Update(true);
  EXPECT_FLOAT_EQ(loose->worldMatrix._11, 3.0f);
  EXPECT_FLOAT_EQ(loose->worldMatrix._13, 0.0f);
}

TEST_F(GroupTest, VisibilityIsTheOnlyControlFieldAndNamesAreCaseSensitive) {
  Group* node = Node<Group>("node");
  EXPECT_EQ(node->GetControlField("VISTRACK"), &node->visibility);
  EXPECT_SCENE_FATAL(node->GetControlField("vistrack"), "Error: Group: Invalid control field!");
  EXPECT_SCENE_FATAL(node->GetControlField("FOVTRACK"), "Group: Invalid control field!");
}

// A camera at the origin looking along +z (its fixed quarter turn undone), with a
// 90-degree field of view.
class GroupCollectTest : public SceneModelTest {
 protected:
  void SetUp() override {
    SceneModelTest::SetUp();
    camera = Node<Camera>("camera");
    camera->transform.rotation = AxisRotation(1, 0, 0, -1.570795f);
    camera->fov = kQuarterTurn;
    camera->nearClip = 1;
    camera->farClip = 100;
    camera->Link();  // becomes active
    processor = graph->Create<RecordingProcessor>(graph->NextId());
  }
  Camera* camera = nullptr;
  RecordingProcessor* processor = nullptr;
};

TEST_F(GroupCollectTest, CulledSubtreesAreSkippedAndHiddenNodesStillPassTheirChildren) {
  Group* top = Node<Group>("top");
  top->transform.position = D3DXVECTOR3(0, 0, 10);
  Group* hidden = Node<Group>("hidden", top->id);
  hidden->visibility = 0;
  Group* inside = Node<Group>("inside", hidden->id);
  Group* behind = Node<Group>("behind", top->id);
  behind->transform.position = D3DXVECTOR3(0, 0, -50);  // behind the camera
  Group* underBehind = Node<Group>("underBehind", behind->id);
  for (auto& object : graph->objects)
    if (object.get() != camera) object->Link();
  top->Update(true);
  underBehind->worldMatrix._43 = 50;  // in view itself, but its parent is culled
  camera->Activate();
  top->Collect(processor);
  EXPECT_TRUE(processor->collected == (std::vector<Group*>{top, hidden, inside}));
}

TEST_F(GroupCollectTest, SphereStraddlingTheFrustumKeepsTheNode) {
  Group* node = Node<Group>("node");
  node->transform.position = D3DXVECTOR3(0, 0, -3);  // point behind the camera
  node->Update(true);
  node->Collect(processor);
  EXPECT_TRUE(processor->collected.empty());
  node->boundRadiusSq = 25;  // radius 5 reaches past the near plane
  node->Collect(processor);
  EXPECT_EQ(processor->collected.size(), 1u);
}

TEST_F(GroupCollectTest, AlignModeOneFacesTheCameraAndUpdatesTheChildren) {
  camera->transform.rotation = AxisRotation(0, 1, 0, 0.4f);  // some other view
  camera->Activate();
  Group* billboard = Node<Group>("billboard");
  billboard->transform.position = D3DXVECTOR3(0, -20, 0);
  billboard->transform.scale = D3DXVECTOR3(5, 5, 5);
  billboard->alignMode = AlignMode::kFaceCamera;
  Group* child = Node<Group>("child", billboard->id);
  child->transform.position = D3DXVECTOR3(1, 0, 0);
  billboard->Link();
  child->Link();
  billboard->Update(true);
  billboard->boundRadiusSq = 1e6f;  // surely in view
  billboard->Collect(processor);
  ASSERT_EQ(processor->collected.size(), 2u);
  const D3DXMATRIX& view = camera->view;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(billboard->worldMatrix.m[r][c], view.m[c][r], 1e-6f);
  EXPECT_EQ(billboard->worldMatrix._14, 0.0f);
  EXPECT_EQ(billboard->worldMatrix._44, 1.0f);
  EXPECT_FLOAT_EQ(billboard->worldMatrix._42, -20.0f);  // position kept
  // The child follows the turned parent: its offset is the parent's x axis.
  EXPECT_NEAR(child->worldMatrix._41, view._11, 1e-5f);
  EXPECT_NEAR(child->worldMatrix._42, -20.0f + view._21, 1e-5f);
  EXPECT_NEAR(child->worldMatrix._43, view._31, 1e-5f);
}

TEST_F(SceneModelTest, CollectWithoutActiveCameraHandsOverNothing) {
  RecordingProcessor* processor = graph->Create<RecordingProcessor>(graph->NextId());
  Group* node = Node<Group>("node");
  node->alignMode = AlignMode::kFaceCamera;
  node->Update(true);
  node->Collect(processor);
  node->FaceCamera();
  EXPECT_TRUE(processor->collected.empty());
}

}  // namespace
