// Lights: the device light rebuilt from colour, intensity, cone angles and the
// node's world matrix, read back from the device; index allocation; the control
// fields; the light list; and a cone the device refuses.
#include "SceneModelFixture.h"
#include "scene/Light.h"
#include "support/HResult.h"

namespace {

using LightTest = SceneModelTest;

D3DLIGHT9 DeviceLight(IDirect3DDevice9* device, DWORD index) {
  D3DLIGHT9 light{};
  EXPECT_HR(device->GetLight(index, &light));
  return light;
}

bool Enabled(IDirect3DDevice9* device, DWORD index) {
  WINBOOL enabled = 0;
  return SUCCEEDED(device->GetLightEnable(index, &enabled)) && enabled != 0;
}

Light* SpotAt(Light* light) {
  light->deviceLight.Type = D3DLIGHT_SPOT;
  light->deviceLight.Range = 250;
  light->deviceLight.Attenuation0 = 0.5f;
  light->deviceLight.Attenuation1 = 0.25f;
  light->deviceLight.Attenuation2 = 0.125f;
  light->color = D3DCOLORVALUE{1.0f, 0.5f, 0.25f, 1.0f};
  light->intensity = 0.5f;
  light->thetaDegrees = 30;
  light->phiDegrees = 60;
  return light;
}

TEST_F(LightTest, DeviceLightFollowsColourIntensityConeAndNode) {
  Light* light = SpotAt(Node<Light>("spot"));
  light->transform.position = D3DXVECTOR3(1, 2, 3);
  light->transform.rotation = AxisRotation(1, 0, 0, 1.5707964f);  // node y onto world z
  light->Update(true);
  ASSERT_EQ(light->lightIndex, 0);
  const D3DLIGHT9 l = DeviceLight(device, 0);
  EXPECT_EQ(l.Type, D3DLIGHT_SPOT);
  EXPECT_FLOAT_EQ(l.Diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(l.Diffuse.g, 0.25f);
  EXPECT_FLOAT_EQ(l.Diffuse.b, 0.125f);
  EXPECT_FLOAT_EQ(l.Diffuse.a, 0.5f);
  EXPECT_FLOAT_EQ(l.Specular.g, 0.25f);
  EXPECT_FLOAT_EQ(l.Specular.a, 0.5f);
  EXPECT_EQ(l.Ambient.r, 0.0f);
  EXPECT_EQ(l.Ambient.a, 0.0f);
  EXPECT_EQ(l.Theta, 30 * 0.017453292f);
  EXPECT_EQ(l.Phi, 60 * 0.017453292f);
  EXPECT_EQ(l.Falloff, 1.0f);
  EXPECT_EQ(l.Range, 250.0f);  // loaded values are kept
  EXPECT_EQ(l.Attenuation1, 0.25f);
  EXPECT_EQ(l.Position.x, 1.0f);
  EXPECT_EQ(l.Position.y, 2.0f);
  EXPECT_EQ(l.Position.z, 3.0f);
  // The negated second column of the world matrix (-_12, -_22, -_32), which for a
  // turned node is not its negated y axis (that would be world -z here).
  EXPECT_NEAR(l.Direction.x, 0.0f, 1e-6f);
  EXPECT_NEAR(l.Direction.y, 0.0f, 1e-6f);
  EXPECT_NEAR(l.Direction.z, 1.0f, 1e-6f);
  EXPECT_TRUE(Enabled(device, 0));
}

TEST_F(LightTest, UnturnedLightShinesDownItsNegativeYAxis) {
  Light* light = Node<Light>("sun");
  light->deviceLight.Type = D3DLIGHT_DIRECTIONAL;
  light->color = D3DCOLORVALUE{1, 1, 1, 1};
  light->intensity = 1;
  light->Update(true);
  const D3DLIGHT9 l = DeviceLight(device, 0);
  EXPECT_EQ(l.Direction.x, 0.0f);
  EXPECT_EQ(l.Direction.y, -1.0f);
  EXPECT_EQ(l.Direction.z, 0.0f);
}

TEST_F(LightTest, IndicesFollowTheOrderOfFirstUpdateAndAreKept) {
  Light* a = SpotAt(Node<Light>("a"));
  Light* b = SpotAt(Node<Light>("b"));
  b->Update(false);  // refreshes the device light even without recursion
  a->Update(true);
  b->Update(true);
  EXPECT_EQ(b->lightIndex, 0);
  EXPECT_EQ(a->lightIndex, 1);
  EXPECT_TRUE(Enabled(device, 0));
  EXPECT_TRUE(Enabled(device, 1));
  EXPECT_EQ(graph->cache->nextLightIndex, 2);
}

TEST_F(LightTest, ControlFieldsAddressColourIntensityAndShadowColour) {
  Light* light = SpotAt(Node<Light>("light"));
  EXPECT_EQ(light->GetControlField("Intensity"), &light->intensity);
  EXPECT_EQ(light->GetControlField("Shadow Multiplier"), &light->intensity);
  EXPECT_EQ(light->GetControlField("ColorR"), &light->color.r);
  EXPECT_EQ(light->GetControlField("ColorG"), &light->color.g);
  EXPECT_EQ(light->GetControlField("ColorB"), &light->color.b);
  EXPECT_EQ(light->GetControlField("ColorA"), &light->color.a);
  EXPECT_EQ(light->GetControlField("Shadow ColorR"), &light->shadowColor.r);
  EXPECT_EQ(light->GetControlField("Shadow ColorG"), &light->shadowColor.g);
  EXPECT_EQ(light->GetControlField("Shadow ColorB"), &light->shadowColor.b);
  EXPECT_EQ(light->GetControlField("Shadow ColorA"), &light->shadowColor.a);
  EXPECT_EQ(light->GetControlField("VISTRACK"), &light->visibility);
  EXPECT_SCENE_FATAL(light->GetControlField("intensity"), "Error: Group: Invalid control field!");
  EXPECT_SCENE_FATAL(light->GetControlField("FOVTRACK"), "Error: Group: Invalid control field!");

  // Animating through the shadow multiplier changes the device light.
  light->Update(true);
  *light->GetControlField("Shadow Multiplier") = 2.0f;
  light->Update(false);
  EXPECT_FLOAT_EQ(DeviceLight(device, 0).Diffuse.r, 2.0f);
}

TEST_F(LightTest, LinkJoinsTheListAndDestructionLeavesIt) {
  Light* a = Node<Light>("a");
  Light* b = Node<Light>("b");
  Light* c = Node<Light>("c");
  a->Link();
  b->Link();
  c->Link();
  EXPECT_TRUE(graph->lights == (std::vector<Light*>{a, b, c}));
  graph->objects[1].reset();
  EXPECT_TRUE(graph->lights == (std::vector<Light*>{a, c}));
}

TEST_F(LightTest, SpotConeTheDeviceRefusesIsEnabledWithWhatTheIndexHolds) {
  Light* light = SpotAt(Node<Light>("narrow"));
  light->thetaDegrees = 60;  // inner cone wider than the outer one
  light->phiDegrees = 30;
  light->Update(true);
  EXPECT_EQ(light->lightIndex, 0);
  EXPECT_TRUE(Enabled(device, 0));  // the device's default light on a fresh index
  D3DLIGHT9 held{};
  device->GetLight(0, &held);
  EXPECT_EQ(held.Type, D3DLIGHT_DIRECTIONAL);
  // A valid cone replaces it.
  light->phiDegrees = 90;
  light->Update(false);
  device->GetLight(0, &held);
  EXPECT_EQ(held.Type, D3DLIGHT_SPOT);
  EXPECT_TRUE(Enabled(device, 0));
}

}  // namespace
