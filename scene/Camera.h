// A camera node: its view and projection reach the device while it is the scene
// graph's active camera, and its frustum is what every node is culled against.
#pragma once

#include "platform/d3dx/d3dx9math.h"
#include "scene/Group.h"

// Six planes normalised so that (a, b, c) has unit length.
struct Frustum {
  enum { Left, Right, Top, Bottom, Near, Far, PlaneCount };
  D3DXPLANE planes[PlaneCount];
};

class Camera : public Group {
 public:
  static constexpr const char* kObjectName = "camera";

  Camera(std::int32_t id, SceneGraph* graph);
  ~Camera() override;  // leaves the graph's camera list

  void Update(bool recurse) override;
  float* GetControlField(const char* name) override;  // "FOVTRACK", "NearClip", "FarClip"
  void Link() override;  // joins the camera list; the first one linked becomes active

  void Activate();    // active, then Update(false): view and projection to the device
  void Deactivate();
  bool SphereVisible(const D3DXVECTOR3& centre, float radius) const;

  Frustum frustum{};
  bool active = false;
  D3DXMATRIX view;
  D3DXMATRIX projection;
  // Vertical, in radians, as the projection takes it. The default of 90 is no sensible
  // angle in radians; the loader always sets the scene file's value.
  float fov = 90.0f;
  float aspect = 1.3333334f;
  float nearClip = 0.1f;
  float farClip = 1000.0f;
};
