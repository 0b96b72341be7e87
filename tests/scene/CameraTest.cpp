// Cameras: the view with its fixed quarter turn and product order, the parent's
// placement, the projection and its shadow variant read back from the device,
// the frustum planes and the sphere test's early-out, activation and the lists.
#include <bit>
#include <cmath>
#include <cstdint>

#include "SceneModelFixture.h"
#include "scene/Camera.h"

namespace {

using CameraTest = SceneModelTest;

// Where a world point lands in view space.
D3DXVECTOR3 InView(const D3DMATRIX& view, float x, float y, float z) {
  const D3DXVECTOR3 p(x, y, z);
  D3DXVECTOR3 out;
  const D3DXMATRIX m(view);
  D3DXVec3TransformCoord(&out, &p, &m);
  return out;
}

void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z, float tolerance = 1e-4f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

void ExpectPlane(const D3DXPLANE& p, float a, float b, float c, float d) {
  EXPECT_NEAR(p.a, a, 1e-5f);
  EXPECT_NEAR(p.b, b, 1e-5f);
  EXPECT_NEAR(p.c, c, 1e-5f);
  EXPECT_NEAR(p.d, d, 1e-5f * (1 + std::fabs(d)));
}

TEST_F(CameraTest, IdentityCameraLooksDownTheNegativeYAxis) {
  Camera* camera = Node<Camera>("camera");
  camera->Link();
  ASSERT_TRUE(camera->active);
  const D3DMATRIX view = DeviceTransform(D3DTS_VIEW);
  // The fixed 1.570795 rad turn about x takes the view axis z onto world -y.
  ExpectVector(InView(view, 0, -10, 0), 0, 0, 10);
  ExpectVector(InView(view, 3, 0, 0), 3, 0, 0);
  D3DXMATRIX turn, expected;
  D3DXMatrixRotationX(&turn, 1.570795f);
  D3DXMatrixInverse(&expected, nullptr, &turn);
  EXPECT_MATRIX_NEAR(view, expected, 1e-6f);
  EXPECT_MATRIX_NEAR(camera->view, expected, 1e-6f);
}

TEST_F(CameraTest, NodeRotationAppliesAfterTheFixedTurn) {
  Camera* camera = Node<Camera>("camera");
  camera->transform.rotation = AxisRotation(0, 0, 1, 1.5707964f);
  camera->transform.position = D3DXVECTOR3(0, 0, 7);
  camera->Link();
  // Fixed turn first (view axis onto -y), then the node's quarter turn about z
  // (-y onto +x). The other order would leave it looking down -y.
  ExpectVector(InView(DeviceTransform(D3DTS_VIEW), 10, 0, 7), 0, 0, 10);
}

TEST_F(CameraTest, ParentPlacesTheCameraButItsOwnWorldMatrixIsNotUsed) {
  Group* rig = Node<Group>("rig");
  rig->transform.position = D3DXVECTOR3(0, 0, 100);
  Camera* camera = Node<Camera>("camera", rig->id);
  for (auto& object : graph->objects) object->Link();
  rig->Update(true);
  camera->worldMatrix._41 = 1000;  // ignored
  camera->Activate();
  ExpectVector(InView(DeviceTransform(D3DTS_VIEW), 0, -10, 100), 0, 0, 10);
}

TEST_F(CameraTest, ProjectionIsLeftHandedFromFovAspectAndClips) {
  Camera* camera = Node<Camera>("camera");
  camera->fov = 1.5707964f;  // tan(fov / 2) = 1
  camera->nearClip = 1;
  camera->farClip = 101;
  device->SetRenderState(D3DRS_ZENABLE, 0);
  camera->Link();
  EXPECT_EQ(std::bit_cast<std::uint32_t>(camera->aspect), 0x3FAAAA8Fu);
  const D3DMATRIX p = DeviceTransform(D3DTS_PROJECTION);
  EXPECT_NEAR(p._11, 1.0f / camera->aspect, 1e-6f);
  EXPECT_NEAR(p._22, 1.0f, 1e-6f);
  EXPECT_NEAR(p._33, 1.01f, 1e-6f);
  EXPECT_NEAR(p._43, -1.01f, 1e-6f);
  EXPECT_EQ(p._34, 1.0f);
  EXPECT_EQ(p._44, 0.0f);
  EXPECT_EQ(RenderState(D3DRS_ZENABLE), 1u);
}

TEST_F(CameraTest, ShadowsPutTheFarPlaneAtInfinity) {
  graph->cache->shadowsEnabled = 1;
  Camera* camera = Node<Camera>("camera");
  camera->nearClip = 0.1f;
  camera->farClip = 50;
  camera->Link();
  const D3DMATRIX p = DeviceTransform(D3DTS_PROJECTION);
  EXPECT_EQ(p._33, 1.0f);
  EXPECT_EQ(p._43, -1.0f);  // whatever the near clip
  EXPECT_EQ(p._34, 1.0f);
}

TEST_F(CameraTest, InactiveCameraLeavesTheDeviceAlone) {
  Camera* first = Node<Camera>("first");
  Camera* second = Node<Camera>("second");
  second->transform.position = D3DXVECTOR3(5, 5, 5);
  first->Link();
  second->Link();
  EXPECT_EQ(graph->activeCamera, first);  // the first linked
  EXPECT_FALSE(second->active);
  const D3DMATRIX before = DeviceTransform(D3DTS_VIEW);
  second->Update(true);
  EXPECT_MATRIX_NEAR(DeviceTransform(D3DTS_VIEW), before, 0.0f);

  graph->SetActiveCamera(second);
  EXPECT_FALSE(first->active);
  EXPECT_TRUE(second->active);
  ExpectVector(InView(DeviceTransform(D3DTS_VIEW), 5, -5, 5), 0, 0, 10);
}

// A camera at the origin looking along +z (the fixed turn undone), 90 degrees.
class FrustumTest : public SceneModelTest {
 protected:
  Camera* AlongZ(float nearClip, float farClip) {
    Camera* camera = Node<Camera>("camera");
    camera->transform.rotation = AxisRotation(1, 0, 0, -1.570795f);
    camera->fov = 1.5707964f;
    camera->nearClip = nearClip;
    camera->farClip = farClip;
    camera->Link();
    return camera;
  }
};

TEST_F(FrustumTest, PlanesAreNormalisedInTheirOrder) {
  const Camera* camera = AlongZ(1, 100);
  const D3DXPLANE* p = camera->frustum.planes;
  // x/z = ±aspect at the sides: normals (±0.6, 0, 0.8) for aspect 4/3.
  ExpectPlane(p[Frustum::Left], 0.6f, 0, 0.8f, 0);
  ExpectPlane(p[Frustum::Right], -0.6f, 0, 0.8f, 0);
  const float h = std::sqrt(0.5f);
  ExpectPlane(p[Frustum::Top], 0, -h, h, 0);
  ExpectPlane(p[Frustum::Bottom], 0, h, h, 0);
  ExpectPlane(p[Frustum::Near], 0, 0, 1, -1);
  ExpectPlane(p[Frustum::Far], 0, 0, -1, 100);
}

TEST_F(FrustumTest, SphereTestHonoursEachPlaneAndTheStraddleEarlyOut) {
  const Camera* camera = AlongZ(1, 100);
  EXPECT_TRUE(camera->SphereVisible(D3DXVECTOR3(0, 0, 50), 0));
  EXPECT_FALSE(camera->SphereVisible(D3DXVECTOR3(0, 0, 0.5f), 0));  // before near
  EXPECT_FALSE(camera->SphereVisible(D3DXVECTOR3(0, 0, 150), 0));   // beyond far
  EXPECT_FALSE(camera->SphereVisible(D3DXVECTOR3(0, 60, 50), 5));   // above
  EXPECT_TRUE(camera->SphereVisible(D3DXVECTOR3(0, 0, 0.5f), 1));   // reaches past near
  // Touching the left plane only, yet wholly beyond the far plane: the first
  // straddled plane decides.
  const D3DXVECTOR3 farLeft(-0.8f * 200 / 0.6f, 0, 200);
  EXPECT_TRUE(camera->SphereVisible(farLeft, 1));
  // Behind the camera, on the right plane but outside the left one, which is
  // tested first.
  EXPECT_FALSE(camera->SphereVisible(D3DXVECTOR3(-40.0f / 3, 0, -10), 1));
}

TEST_F(FrustumTest, ShadowProjectionCullsWithNearAtOneAndNoFarPlane) {
  graph->cache->shadowsEnabled = 1;
  const Camera* camera = AlongZ(0.1f, 100);
  EXPECT_TRUE(camera->SphereVisible(D3DXVECTOR3(0, 0, 1e6f), 0));
  EXPECT_FALSE(camera->SphereVisible(D3DXVECTOR3(0, 0, 0.5f), 0));  // near plane z = 1
  ExpectPlane(camera->frustum.planes[Frustum::Near], 0, 0, 1, -1);
}

TEST_F(CameraTest, ControlFieldsFallThroughToTheNode) {
  Camera* camera = Node<Camera>("camera");
  EXPECT_EQ(camera->GetControlField("FOVTRACK"), &camera->fov);
  EXPECT_EQ(camera->GetControlField("NearClip"), &camera->nearClip);
  EXPECT_EQ(camera->GetControlField("FarClip"), &camera->farClip);
  EXPECT_EQ(camera->GetControlField("VISTRACK"), &camera->visibility);
  EXPECT_SCENE_FATAL(camera->GetControlField("nearclip"), "Error: Group: Invalid control field!");
}

TEST_F(CameraTest, AnimatedFieldsReachTheDeviceOnUpdateWithoutRecursion) {
  Camera* camera = Node<Camera>("camera");
  camera->Link();
  *camera->GetControlField("FOVTRACK") = 1.5707964f;
  camera->Update(false);
  EXPECT_NEAR(DeviceTransform(D3DTS_PROJECTION)._22, 1.0f, 1e-6f);
}

TEST_F(CameraTest, DestroyedCameraLeavesTheList) {
  Camera* first = Node<Camera>("first");
  Camera* second = Node<Camera>("second");
  first->Link();
  second->Link();
  graph->objects[0].reset();
  EXPECT_TRUE(graph->cameras == (std::vector<Camera*>{second}));
  EXPECT_EQ(graph->activeCamera, nullptr);  // no dangling active camera
}

}  // namespace
